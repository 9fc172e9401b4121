#pragma once

#include <QString>

// The command line: --help, --version and at most one file to open, checked
// before anything needs a window system, so that a wrong command line gets
// its usage error with no display too.

// Prints the help or the version and exits with 0 when either is asked for;
// prints the error and the usage to stderr and exits with 1 when the command
// line is wrong. Otherwise returns the file named (empty when none). Call
// before the QApplication exists, after the application's name and version
// are set; the toolkit's own options (-platform, -style ...) pass.
QString fileToOpen(int argc, char** argv);
