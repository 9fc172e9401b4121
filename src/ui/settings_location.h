#pragma once

#include <QString>

// Where orvenna.ini lives, and whether it can be written.

// `programDir` when the program is a portable copy (the build tree, an
// unpacked copy) and orvenna.ini can be written there (the file itself, or
// created anew); otherwise `userConfigDir`. An `installed` copy never writes
// beside itself: its folder belongs to the package manager.
QString settingsFilePath(const QString& programDir, const QString& userConfigDir, bool installed);

// Whether a program in `programDir` was installed: it lies where `cmake
// --install` or the package put it (Linux; a Windows copy keeps its settings
// beside itself where it may, as its installer expects).
bool isInstalledProgramDir(const QString& programDir);

// The same for this program.
QString settingsFilePath();

// Why `file` cannot be written the way a settings object writes it (a new
// file beside it, then put in its place), in the system's words; empty when
// no reason shows. Leaves the file and its folder as they were.
QString settingsWriteProblem(const QString& file);
