#include "ui/settings_location.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QStringList>

namespace {

const QString kFileName = QStringLiteral("orvenna.ini");

} // namespace

bool isInstalledProgramDir(const QString& programDir)
{
#ifdef ORVENNA_INSTALL_BIN_DIRS
    // The bin directories of the configured install and of the package.
    const QString here = QFileInfo(programDir).canonicalFilePath();
    for (const QString& dir : QStringLiteral(ORVENNA_INSTALL_BIN_DIRS).split(u':'))
        if (!here.isEmpty() && QFileInfo(dir).canonicalFilePath() == here)
            return true;
#else
    Q_UNUSED(programDir);
#endif
    return false;
}

QString settingsFilePath(const QString& programDir, const QString& userConfigDir, bool installed)
{
    const QString besideProgram = programDir + u'/' + kFileName;
    const bool writable = settingsWriteProblem(besideProgram).isEmpty();
    return (installed || !writable ? userConfigDir : programDir) + u'/' + kFileName;
}

QString settingsFilePath()
{
    const QString programDir = QCoreApplication::applicationDirPath();
    return settingsFilePath(programDir, QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation),
                            isInstalledProgramDir(programDir));
}

QString settingsWriteProblem(const QString& file)
{
    // Creating a file is the only test that holds everywhere: permission
    // bits say little on Windows, and a read-only mount or a container says
    // more. The present content is written too, so that a full disk shows;
    // nothing is put in place.
    QFile present(file);
    const QByteArray content = present.open(QIODevice::ReadOnly) ? present.readAll() : QByteArray();
    present.close();
    QSaveFile replacement(file);
    // Unbuffered: a failed write keeps the system's reason (a full disk).
    if (!replacement.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return replacement.errorString();
    for (qint64 written = 0, n = 0; written < content.size(); written += n) {
        if ((n = replacement.write(content.constData() + written, content.size() - written)) <= 0)
            return replacement.errorString();
    }
    replacement.cancelWriting();
    // An existing file must take writes itself: an immutable one cannot be
    // replaced either, even by root.
    if (present.exists() && !present.open(QIODevice::WriteOnly | QIODevice::Append))
        return present.errorString();
    return {};
}
