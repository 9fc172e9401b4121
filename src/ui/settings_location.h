#pragma once

#include <QString>

// Where orvenna.ini lives: in `programDir` when the program may write there
// (a portable copy), otherwise in `userConfigDir` (a copy installed where
// only the administrator writes, such as /usr/bin or Program Files).
QString settingsFilePath(const QString& programDir, const QString& userConfigDir);

// The same for this program: its own directory or the user's configuration
// directory for its application name.
QString settingsFilePath();
