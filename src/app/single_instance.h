#pragma once

#include <QObject>
#include <QStringList>

#include <memory>

class QLockFile;

// One running instance per user. The first start holds a lock file for its
// whole life; a later start asks the running one to come to the front and
// ends. Windows: lock in the temporary directory, request by a broadcast
// window message, answered by the main window's native event hook. Linux:
// lock and a local socket in the per-user runtime directory. GUI thread only.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    explicit SingleInstance(QObject* parent = nullptr);
    // Releases the lock: destroy this after the main window.
    ~SingleInstance() override;

    // Tries to become the running instance. True: this process runs the
    // program; it holds the lock, or none can be had at all (an unusable
    // directory must not keep the program from starting). False: another
    // instance holds the lock and has been asked to come to the front,
    // carrying `files` (relative ones taken against the current directory);
    // exit with 0 and show nothing.
    bool claim(const QStringList& files);

signals:
    // A later start asked this instance to come to the front; `files` are
    // the absolute paths it was started with. Linux only: on Windows the
    // window's native event hook answers the request itself.
    void activationRequested(const QStringList& files);

private:
    // Platform parts, in single_instance_linux.cpp / single_instance_win.cpp.
    // The lock's directory; empty when there is no safe one.
    static QString lockDirectory();
    // Starts answering later starts; the lock is held.
    void listenForRequests(const QString& directory);
    static void requestActivation(const QString& directory, const QStringList& files);

    std::unique_ptr<QLockFile> m_lock;
};
