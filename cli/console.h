// The batch tool's command line and console, the same on every platform: arguments as UTF-8,
// and a console that shows UTF-8 and terminal escapes.
#pragma once

#include <string>
#include <vector>

namespace orvix {

// The command-line arguments after the program name, as UTF-8. On Windows they are read from
// the process's wide command line, since the narrow `argv` holds them in the system's code
// page (where a character outside it turns into "?"); elsewhere `argv` is taken as it is.
std::vector<std::string> Utf8Arguments(int argc, char** argv);

// Makes the console show what the tool writes: on Windows, sets its output code page to UTF-8
// and turns on escape-sequence processing for standard error. Returns whether terminal escapes
// may be written to standard error (false on a Windows console that cannot process them).
bool PrepareConsole();

// The user's decimal separator from the system's own settings (Windows: the user's regional
// settings; elsewhere: the LC_NUMERIC locale of the environment), as UTF-8. For a build without
// Qt, which otherwise reads it.
std::string UserDecimalSeparator();

}  // namespace orvix
