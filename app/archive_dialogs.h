// The questions the archive window asks, behind an interface like the main window's dialogs:
// the production set shows the desktop's folder dialog, an input dialog and a date dialog;
// tests script the answers.
#pragma once

#include <QDate>
#include <QString>
#include <QStringList>
#include <optional>

#include "stats/examinee.h"

class QWidget;

namespace orvix {

// The answer of the date dialog: a date, or back to the date the protocol itself gives.
struct TDateAnswer {
    std::optional<QDate> Date;  // nothing: the protocol's own date again
};

class TArchiveDialogs {
  public:
    virtual ~TArchiveDialogs() = default;
    // A folder, starting in `start`; nothing when cancelled.
    virtual std::optional<QString> ChooseFolder(QWidget* parent, const QString& title,
                                                const QString& start) = 0;
    // A name: one of `names` or a new one typed (`names` empty: typed only), proposed as
    // `current`; nothing when cancelled. The answer is trimmed; an empty one is a cancel.
    virtual std::optional<QString> ChooseName(QWidget* parent, const QString& title,
                                              const QString& label, const QStringList& names,
                                              const QString& current) = 0;
    // A test date, proposed as `current`; nothing when cancelled.
    virtual std::optional<TDateAnswer> ChooseDate(QWidget* parent, const QString& title,
                                                  QDate current) = 0;
    // An examinee's birth date, sex and group, proposed as `current` (each may be unknown);
    // nothing when cancelled.
    virtual std::optional<stats::TExamineeData> ChooseExamineeData(
        QWidget* parent, const QString& title, const stats::TExamineeData& current) = 0;
    // A message with an information icon and one OK button.
    virtual void Inform(QWidget* parent, const QString& title, const QString& text) = 0;
};

class TQtArchiveDialogs final : public TArchiveDialogs {
  public:
    std::optional<QString> ChooseFolder(QWidget* parent, const QString& title,
                                        const QString& start) override;
    std::optional<QString> ChooseName(QWidget* parent, const QString& title, const QString& label,
                                      const QStringList& names, const QString& current) override;
    std::optional<TDateAnswer> ChooseDate(QWidget* parent, const QString& title,
                                          QDate current) override;
    std::optional<stats::TExamineeData> ChooseExamineeData(
        QWidget* parent, const QString& title, const stats::TExamineeData& current) override;
    void Inform(QWidget* parent, const QString& title, const QString& text) override;
};

// The dialogs of the whole run (the production set unless a test installs its own).
TArchiveDialogs& ArchiveDialogs();
void SetArchiveDialogs(TArchiveDialogs* dialogs);

}  // namespace orvix
