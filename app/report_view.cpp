#include "report_view.h"

#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>

#include "base/cp1251.h"
#include "qt_text.h"

namespace orvix {
namespace {
// The text as the code page can hold it.
QString Fitted(const QString& text) {
    return FitsCp1251(text) ? text : ToQString(ToCp1251(text));
}
}  // namespace

TReportView::TReportView(QWidget* parent) : QPlainTextEdit(parent) {
    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::TypeWriter);
    font.setPixelSize(16);
    setFont(font);
    QPalette p = palette();
    p.setColor(QPalette::Text, p.color(QPalette::WindowText));
    setPalette(p);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);  // on screen only; the lines stay whole
}

void TReportView::Clear() {
    clear();
}

void TReportView::AddLine(std::string_view line) {
    // The caret stays where it was (at the start after Clear), so a new report shows from
    // its first line.
    const int caret = textCursor().position();
    QTextCursor cursor(document());
    cursor.movePosition(QTextCursor::End);
    // An empty last block means the text is empty or ends with a line break.
    if (document()->lastBlock().length() == 1) {
        cursor.insertText(ToQString(line));
        cursor.insertBlock();
    } else {
        cursor.insertBlock();
        cursor.insertText(ToQString(line));
    }
    QTextCursor kept = textCursor();
    kept.setPosition(caret);
    setTextCursor(kept);
}

std::string TReportView::Text() const {
    const QString raw = document()->toRawText();
    std::string out;
    out.reserve(static_cast<std::size_t>(raw.size()) + static_cast<std::size_t>(blockCount()));
    for (const QChar c : raw) {
        if (c == QChar::ParagraphSeparator) {
            out.append("\r\n");
        } else {
            const int byte = UnicodeToCp1251(c.unicode());
            out.push_back(byte < 0 ? '?' : static_cast<char>(byte));
        }
    }
    return out;
}

void TReportView::BeginUpdate() {
    if (updateDepth_++ == 0) {
        setUpdatesEnabled(false);
        document()->setUndoRedoEnabled(false);  // a built report is not an edit to undo
    }
}

void TReportView::EndUpdate() {
    if (updateDepth_ > 0 && --updateDepth_ == 0) {
        document()->setUndoRedoEnabled(true);
        setUpdatesEnabled(true);
    }
}

void TReportView::keyPressEvent(QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && (event->modifiers() & Qt::ShiftModifier)) {
        // A soft line break has no place in the code page; every break is a line break.
        QKeyEvent plain(event->type(), event->key(), event->modifiers() & ~Qt::ShiftModifier,
                        event->text(), event->isAutoRepeat(), static_cast<ushort>(event->count()));
        QPlainTextEdit::keyPressEvent(&plain);
        event->setAccepted(plain.isAccepted());
        return;
    }
    const QString text = event->text();
    if (!text.isEmpty() && !FitsCp1251(text) && text.front().isPrint()) {
        textCursor().insertText(Fitted(text));
        ensureCursorVisible();
        event->accept();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void TReportView::inputMethodEvent(QInputMethodEvent* event) {
    if (FitsCp1251(event->commitString())) {
        QPlainTextEdit::inputMethodEvent(event);
        return;
    }
    QInputMethodEvent fitted(event->preeditString(), event->attributes());
    fitted.setCommitString(Fitted(event->commitString()), event->replacementStart(),
                           event->replacementLength());
    QPlainTextEdit::inputMethodEvent(&fitted);
    event->setAccepted(fitted.isAccepted());
}

void TReportView::insertFromMimeData(const QMimeData* source) {
    if (!source || !source->hasText()) return;
    QMimeData plain;
    plain.setText(Fitted(source->text()));
    QPlainTextEdit::insertFromMimeData(&plain);
}

}  // namespace orvix
