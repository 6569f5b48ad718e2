// The About box: program name, test method, version and ownership, and the gate to the Data
// command: OK enables it, closing the box by its frame does not.
#pragma once

#include <QDialog>

class QAction;
class QLabel;
class QPushButton;

namespace orvix {

inline constexpr const char* kProgramVersion = "3.01";

class TAboutBox final : public QDialog {
    Q_OBJECT
  public:
    // `dataCommand` is the main window's Data command, which OK enables.
    TAboutBox(QWidget* parent, QAction* dataCommand);

    // Shows the box (modeless) centred on the screen; a visible box stays as it is.
    void ShowBox();

    // A small line at the foot of the panel naming where the archive's database lives (its
    // middle left out where it is too long; the whole path in its tooltip).
    void ShowDatabasePlace(const QString& path);

    QPushButton* OKButton = nullptr;
    QLabel* DatabasePlace = nullptr;

  private:
    void OKButtonClick();

    QAction* dataCommand_;
    QWidget* panel_ = nullptr;
};

}  // namespace orvix
