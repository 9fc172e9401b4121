#include "ui/settings_location.h"

#include <QCoreApplication>
#include <QStandardPaths>
#include <QTemporaryFile>

QString settingsFilePath(const QString& programDir, const QString& userConfigDir)
{
    // Creating a file is the only test that holds everywhere: permission bits
    // say little on Windows, and a read-only mount or a container says more.
    QTemporaryFile probe(programDir + QStringLiteral("/orvenna-XXXXXX.probe"));
    return (probe.open() ? programDir : userConfigDir) + QStringLiteral("/orvenna.ini");
}

QString settingsFilePath()
{
    return settingsFilePath(QCoreApplication::applicationDirPath(),
                            QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation));
}
