#pragma once

#include <QStringList>

// The command line: --help, --version and the file to open (the window
// opens the first one named).

// Prints the help or the version and exits when either is asked for, before
// any window system is needed (so both work without a display); returns
// otherwise. Call before the QApplication exists, after the application's
// name and version are set.
void answerInformationRequests(int argc, char** argv);

// The files named on the command line, once the QApplication exists (it has
// taken its own options such as -platform away). A malformed command line
// prints the error and exits with 1.
QStringList filesToOpen();
