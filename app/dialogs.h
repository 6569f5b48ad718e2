// The dialogs the window needs, behind an interface: the production set shows real file
// dialogs and message boxes, tests script the answers.
#pragma once

#include <QPointer>
#include <QString>
#include <optional>

class QFileDialog;
class QPrinter;
class QWidget;

namespace orvix {

// What the open dialog is shown with.
struct TOpenDialogSettings {
    QString Title;
    QString InitialDir;
    QString FileName;
};

// A file-type filter of one entry: the text the user reads and the names it lists.
struct TFileFilter {
    QString Description;
    QString Pattern;
    friend bool operator==(const TFileFilter&, const TFileFilter&) = default;
};

// The state of the save dialog shared by the save commands; a command changes only what it
// needs, the rest stays as the previous command left it.
struct TSaveDialogSettings {
    QString Title;
    QString InitialDir;
    QString FileName;
    std::optional<TFileFilter> Filter;  // none: all files
    bool OverwritePrompt = true;
};

// Settings of a save of its own (the Report commands): `title`, `filter`, the file `fileName`
// proposed in `folder`, where the dialog starts; an existing file is asked about.
TSaveDialogSettings SaveSettingsIn(const QString& folder, const QString& fileName,
                                   const QString& title, TFileFilter filter);

class TDialogs {
  public:
    virtual ~TDialogs() = default;
    // The chosen file, or nothing when the user cancels.
    virtual std::optional<QString> OpenFile(QWidget* parent,
                                            const TOpenDialogSettings& settings) = 0;
    virtual std::optional<QString> SaveFile(QWidget* parent,
                                            const TSaveDialogSettings& settings) = 0;
    // A modal message box with a stop icon and one OK button.
    virtual void ShowFailure(QWidget* parent, const QString& caption, const QString& text) = 0;
    // The print dialog for `printer`: true when the user chose to print. Dialogs that offer
    // no printing answer as if the user cancelled.
    virtual bool Print(QWidget* /*parent*/, QPrinter& /*printer*/) { return false; }
};

// File dialogs and message boxes of the desktop. The save dialog is made once and shown again
// for each save.
class TQtDialogs final : public TDialogs {
  public:
    TQtDialogs();
    ~TQtDialogs() override;
    TQtDialogs(const TQtDialogs&) = delete;
    TQtDialogs& operator=(const TQtDialogs&) = delete;

    std::optional<QString> OpenFile(QWidget* parent, const TOpenDialogSettings& settings) override;
    std::optional<QString> SaveFile(QWidget* parent, const TSaveDialogSettings& settings) override;
    void ShowFailure(QWidget* parent, const QString& caption, const QString& text) override;
    bool Print(QWidget* parent, QPrinter& printer) override;

  private:
    QPointer<QFileDialog> saveDialog_;  // a child of the window it was first shown over
};

}  // namespace orvix
