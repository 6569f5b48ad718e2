// The folders the file dialogs start in. Two layouts are served: the portable one, with
// `Data` and `Results` beside the program, and the installed one (the program in /usr/bin,
// its sample protocols in /usr/share/orvix-kl/Data), where the user's files belong in the
// user's documents folder.
#pragma once

#include <QString>
#include <optional>

namespace orvix::user_dirs {

// The user's documents folder; the home folder where the desktop names none.
QString Documents();

// The folder of protocols that comes with the program, given the program's folder with a
// trailing separator: `Data` beside the program, else the installed sample protocols
// (share/orvix-kl/Data beside the program's bin folder); nothing when neither is there.
std::optional<QString> DataFolder(const QString& exeDir);

// The folder the open dialog starts in, given the program's folder with a trailing separator:
// `Data` beside the program when it is there; else the installed sample protocols
// (share/orvix-kl/Data beside the program's bin folder); else the documents folder.
QString OpenFolder(const QString& exeDir, const QString& documents = Documents());

// The folder of norm tables that comes with the program (the template and the example):
// `norms` beside the program, else the installed one (share/orvix-kl/norms beside the
// program's bin folder); else the documents folder.
QString NormsFolder(const QString& exeDir, const QString& documents = Documents());

// The folder the save dialogs propose: `Results` beside the program when it is a folder the
// user may write in; else `Results` in the documents folder, made here when missing (a
// folder that cannot be made is still returned: the dialog then lets the user choose).
QString ResultsFolder(const QString& exeDir, const QString& documents = Documents());

}  // namespace orvix::user_dirs
