#include "app/single_instance.h"

#include <QDir>
#include <QLockFile>

SingleInstance::SingleInstance(QObject* parent) : QObject(parent) {}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::claim(const QStringList& files)
{
    const QString directory = lockDirectory();
    if (directory.isEmpty())
        return true;
    m_lock = std::make_unique<QLockFile>(QDir(directory).filePath(QStringLiteral("orvenna.lock")));
    // The lock file's own rules take over locks of instances that are gone.
    if (m_lock->tryLock(100)) {
        listenForRequests(directory);
        return true;
    }
    // Only a live holder means another instance; a directory that cannot be
    // written leaves this one running unguarded.
    if (m_lock->error() != QLockFile::LockFailedError) {
        m_lock.reset();
        return true;
    }
    requestActivation(directory, files);
    return false;
}
