#include "about_box.h"

#include <qdrawutil.h>
#include <QAction>
#include <QFrame>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>

#include "pictures.h"

namespace orvix {
namespace {

// A panel with a lowered outer and a raised inner bevel.
class TBevelPanel final : public QWidget {
  public:
    using QWidget::QWidget;

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        qDrawShadePanel(&painter, rect(), palette(), true, 1);
        qDrawShadePanel(&painter, rect().adjusted(1, 1, -1, -1), palette(), false, 1);
    }
};

// A bold caption centred in its area, drawn over its own shadow (right and below).
class TShadowLabel final : public QWidget {
  public:
    TShadowLabel(const QString& text, QWidget* parent) : QWidget(parent), text_(text) {
        QFont f = font();
        f.setBold(true);
        setFont(f);
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setPen(palette().color(QPalette::Dark));
        painter.drawText(rect().translated(1, 1), Qt::AlignCenter, text_);
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawText(rect(), Qt::AlignCenter, text_);
    }

  private:
    QString text_;
};

QLabel* Label(const QString& text, int x, int y, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->move(x, y);
    label->adjustSize();
    return label;
}

}  // namespace

TAboutBox::TAboutBox(QWidget* parent, QAction* dataCommand)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint),
      dataCommand_(dataCommand) {
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QStringLiteral("О программе"));
    setModal(false);
    setFixedSize(298, 225);
    QFont f(QStringLiteral("MS Sans Serif"));
    f.setPixelSize(11);
    setFont(f);

    auto* panel = new TBevelPanel(this);
    panel->setGeometry(8, 8, 281, 185);
    panel_ = panel;

    auto* picture = new QLabel(panel);
    picture->setPixmap(pictures::ProgramPicture(32));
    picture->setGeometry(12, 8, 32, 32);

    auto* name = new TShadowLabel(QStringLiteral("ORVIX-КЛ"), panel);
    name->setObjectName(QStringLiteral("ProductName"));
    name->setGeometry(56, 10, 185, 15);

    Label(QStringLiteral("     Методика  диагностики \n"
                         "      процессов  внимания\n"
                         "      \"Кольца Ландольта\""),
          77, 28, panel)
        ->setObjectName(QStringLiteral("Comments"));
    Label(QStringLiteral("Версия %1").arg(QLatin1String(kProgramVersion)), 13, 76, panel)
        ->setObjectName(QStringLiteral("Version"));
    Label(QStringLiteral("© 2003–2006 ORVIX. Все права защищены."), 13, 95, panel)
        ->setObjectName(QStringLiteral("Copyright"));

    auto* separator = new QFrame(panel);
    separator->setFrameShape(QFrame::HLine);
    separator->setFrameShadow(QFrame::Sunken);
    separator->setGeometry(5, 120, 271, 2);

    Label(QStringLiteral("Отдел сопровождения программ\n"
                         "тел. (812) 000-41-17, факс (812) 000-41-18\n"
                         "support@orvix-kl.example"),
          13, 128, panel)
        ->setObjectName(QStringLiteral("Contacts"));

    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setGeometry(111, 196, 75, 25);
    OKButton->setDefault(true);
    connect(OKButton, &QPushButton::clicked, this, [this] { OKButtonClick(); });
}

void TAboutBox::ShowDatabasePlace(const QString& path) {
    if (!DatabasePlace) {
        DatabasePlace = new QLabel(panel_);
        DatabasePlace->setObjectName(QStringLiteral("DatabasePlace"));
        QFont small = font();
        small.setPixelSize(9);
        DatabasePlace->setFont(small);
        DatabasePlace->setGeometry(13, 170, 259, 12);
    }
    const QString text = QStringLiteral("Архив: ") + path;
    DatabasePlace->setText(
        DatabasePlace->fontMetrics().elidedText(text, Qt::ElideMiddle, DatabasePlace->width()));
    DatabasePlace->setToolTip(text);
}

void TAboutBox::ShowBox() {
    if (!isVisible()) {
        const QScreen* screen = parentWidget() ? parentWidget()->screen() : this->screen();
        QRect frame(QPoint(), size());
        frame.moveCenter(screen->geometry().center());
        move(frame.topLeft());
        show();
    }
    raise();
    activateWindow();
}

void TAboutBox::OKButtonClick() {
    hide();
    dataCommand_->setEnabled(true);
}

}  // namespace orvix
