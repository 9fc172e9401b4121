// Two real processes: the first is single_instance_probe (the program's guard
// around a plain window), the second the program itself.
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocalSocket>
#include <QProcess>
#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>

#include <pwd.h>
#include <unistd.h>

#include <utility>
#include <vector>

namespace {

constexpr int kTimeoutMs = 30000;

QProcessEnvironment environmentWithRuntimeDir(const QString& runtimeDir)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    environment.insert("XDG_RUNTIME_DIR", runtimeDir);
    return environment;
}

// Reads the process's output up to a line equal to `expected`; the lines
// before it go to `skipped`.
testing::AssertionResult waitForLine(QProcess& process, const QByteArray& expected,
                                     QByteArray* skipped = nullptr)
{
    const QDeadlineTimer deadline(kTimeoutMs);
    QByteArray seen;
    do {
        while (process.canReadLine()) {
            const QByteArray line = process.readLine().trimmed();
            if (line == expected) {
                if (skipped)
                    *skipped = seen;
                return testing::AssertionSuccess();
            }
            seen += line + '\n';
        }
    } while (process.waitForReadyRead(int(deadline.remainingTime())));
    return testing::AssertionFailure() << "no line \"" << expected.constData() << "\"; saw:\n"
                                       << seen.constData() << process.readAllStandardError().constData();
}

class Probe {
public:
    explicit Probe(const QProcessEnvironment& environment, const QString& workingDir = {},
                   const QString& program = ORVENNA_PROBE, const QStringList& arguments = {})
    {
        m_process.setProcessEnvironment(environment);
        m_process.setWorkingDirectory(workingDir);
        m_process.start(program, arguments);
    }
    // A probe still running quits at the end of its input and must end cleanly.
    ~Probe()
    {
        if (m_process.state() == QProcess::NotRunning)
            return;
        m_process.closeWriteChannel();
        if (!m_process.waitForFinished(kTimeoutMs))
            m_process.kill(), m_process.waitForFinished();
        EXPECT_EQ(m_process.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(m_process.exitCode(), 0) << m_process.readAllStandardError().constData();
    }
    QProcess& process() { return m_process; }

private:
    QProcess m_process;
};

// Starts the program as a second instance and waits for its end; its exit
// code, or -1 when it did not end by itself.
int runSecondStart(const QProcessEnvironment& environment, const QString& workingDir,
                   const QStringList& arguments)
{
    QProcess second;
    second.setProcessEnvironment(environment);
    second.setWorkingDirectory(workingDir);
    second.start(ORVENNA_PROGRAM, arguments);
    if (!second.waitForFinished(kTimeoutMs)) {
        second.kill();
        second.waitForFinished();
        return -1;
    }
    return second.exitStatus() == QProcess::NormalExit ? second.exitCode() : -1;
}

struct ActivationCase {
    const char* name;
    // Each command to the first window with the state it leads to.
    std::vector<std::pair<QByteArray, QByteArray>> steps;
    QByteArray stateAfter;
    QStringList arguments;  // of the second start, in its working directory
    QByteArray filesAfter;  // as the first instance receives them
};

void PrintTo(const ActivationCase& c, std::ostream* os)
{
    *os << c.name;
}

class SingleInstanceActivation : public testing::TestWithParam<ActivationCase> {};

TEST_P(SingleInstanceActivation, SecondStartBringsTheFirstWindowToTheFront)
{
    const ActivationCase& c = GetParam();
    QTemporaryDir runtimeDir;
    QTemporaryDir workingDir;
    ASSERT_TRUE(runtimeDir.isValid() && workingDir.isValid());
    const QProcessEnvironment environment = environmentWithRuntimeDir(runtimeDir.path());

    Probe first(environment);
    ASSERT_TRUE(waitForLine(first.process(), "ready"));
    for (const auto& [command, state] : c.steps) {
        first.process().write(command + '\n');
        ASSERT_TRUE(waitForLine(first.process(), state)) << "after " << command.constData();
    }

    EXPECT_EQ(runSecondStart(environment, workingDir.path(), c.arguments), 0);
    QByteArray files = c.filesAfter;
    files.replace("WD", workingDir.path().toUtf8());
    EXPECT_TRUE(waitForLine(first.process(), "activated " + files));
    EXPECT_TRUE(waitForLine(first.process(), c.stateAfter));
}

INSTANTIATE_TEST_SUITE_P(
    States, SingleInstanceActivation,
    testing::Values(
        ActivationCase{"Hidden",
                       {{"other", "state visible=1 minimized=0 maximized=0 active=0"},
                        {"hide", "state visible=0 minimized=0 maximized=0 active=0"}},
                       "state visible=1 minimized=0 maximized=0 active=1",
                       {},
                       "[]"},
        ActivationCase{"Minimized",
                       {{"other", "state visible=1 minimized=0 maximized=0 active=0"},
                        {"minimize", "state visible=1 minimized=1 maximized=0 active=0"}},
                       "state visible=1 minimized=0 maximized=0 active=1",
                       {"clip ü.mp4", "/media/still.png"},
                       "[\"WD/clip ü.mp4\",\"/media/still.png\"]"},
        ActivationCase{"MaximizedThenMinimized",
                       {{"maximize", "state visible=1 minimized=0 maximized=1 active=1"},
                        {"other", "state visible=1 minimized=0 maximized=1 active=0"},
                        {"minimize", "state visible=1 minimized=1 maximized=1 active=0"}},
                       "state visible=1 minimized=0 maximized=1 active=1",
                       {},
                       "[]"}),
    [](const testing::TestParamInfo<ActivationCase>& info) { return info.param.name; });

TEST(SingleInstance, KilledInstanceLeavesNothingThatBlocksTheNextStart)
{
    QTemporaryDir runtimeDir;
    ASSERT_TRUE(runtimeDir.isValid());
    const QProcessEnvironment environment = environmentWithRuntimeDir(runtimeDir.path());
    {
        Probe killed(environment);
        ASSERT_TRUE(waitForLine(killed.process(), "ready"));
        killed.process().kill();
        ASSERT_TRUE(killed.process().waitForFinished(kTimeoutMs));
    }
    ASSERT_TRUE(QFile::exists(runtimeDir.filePath("orvenna.lock")));
    ASSERT_TRUE(QFile::exists(runtimeDir.filePath("orvenna.socket")));

    Probe next(environment);
    ASSERT_TRUE(waitForLine(next.process(), "ready"));
    EXPECT_EQ(runSecondStart(environment, runtimeDir.path(), {}), 0);
    EXPECT_TRUE(waitForLine(next.process(), "activated []"));
}

// A request: "ORVA", the payload's length (32 bits, big-endian), the payload.
QByteArray request(const QByteArray& payload, quint32 length)
{
    QByteArray header("ORVA\0\0\0\0", 8);
    qToBigEndian(length, header.data() + 4);
    return header + payload;
}

TEST(SingleInstance, MalformedRequestsAreDroppedUnanswered)
{
    QTemporaryDir runtimeDir;
    ASSERT_TRUE(runtimeDir.isValid());
    Probe first(environmentWithRuntimeDir(runtimeDir.path()));
    ASSERT_TRUE(waitForLine(first.process(), "ready"));

    const std::pair<const char*, QByteArray> malformed[] = {
        {"stranger's magic", QByteArray("ORVB\0\0\0\0", 8)},
        {"oversized", request("/a", 0xffffffff)},
        {"relative path", request(QByteArray("a\0", 2), 2)},
        {"invalid UTF-8", request(QByteArray("/\xff\0", 3), 3)},
        {"unterminated path", request("/a", 2)},
        {"truncated, then silent", request("/a", 5)},
    };
    for (const auto& [name, bytes] : malformed) {
        QLocalSocket socket;
        socket.connectToServer(runtimeDir.filePath("orvenna.socket"));
        ASSERT_TRUE(socket.waitForConnected(kTimeoutMs)) << name;
        socket.write(bytes);
        socket.waitForBytesWritten(kTimeoutMs);
        // The first instance ends every connection, a silent one after a while.
        EXPECT_TRUE(socket.state() == QLocalSocket::UnconnectedState
                    || socket.waitForDisconnected(kTimeoutMs))
            << name;
    }

    QLocalSocket socket;
    socket.connectToServer(runtimeDir.filePath("orvenna.socket"));
    ASSERT_TRUE(socket.waitForConnected(kTimeoutMs));
    socket.write(request(QByteArray("/valid\0", 7), 7));
    ASSERT_TRUE(socket.waitForBytesWritten(kTimeoutMs));
    QByteArray before;
    EXPECT_TRUE(waitForLine(first.process(), R"(activated ["/valid"])", &before));
    EXPECT_FALSE(before.contains("activated")) << before.constData();
}

// Where no lock can be had the program runs unguarded rather than not at all.
TEST(SingleInstance, UnusableRuntimeDirectoryDoesNotKeepTheProgramFromStarting)
{
    QTemporaryDir scratch;
    ASSERT_TRUE(scratch.isValid());

    {
        // None: Qt refuses the fallback runtime directory when its mode is
        // wrong and names no directory; nothing may land in the working one.
        QProcessEnvironment environment = environmentWithRuntimeDir({});
        environment.remove("XDG_RUNTIME_DIR");
        environment.insert("TMPDIR", scratch.path());
        const QString fallback = scratch.filePath(QString("runtime-") + getpwuid(geteuid())->pw_name);
        ASSERT_TRUE(QDir().mkdir(fallback, QFile::ReadOwner | QFile::ExeOwner));
        Probe probe(environment, scratch.path());
        EXPECT_TRUE(waitForLine(probe.process(), "ready")) << "no runtime directory";
        EXPECT_EQ(QDir(scratch.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
                  QStringList{QFileInfo(fallback).fileName()});
    }

    {
        // Read-only: a tmpfs mounted so in a user namespace of the probe's own.
        QTemporaryDir readOnly;
        ASSERT_TRUE(readOnly.isValid());
        if (QProcess::execute("unshare", {"--user", "--map-root-user", "--mount", "true"}) != 0)
            GTEST_SKIP() << "no user namespaces here for a read-only runtime directory";
        Probe probe(environmentWithRuntimeDir(readOnly.path()), {}, "unshare",
                    {"--user", "--map-root-user", "--mount", "sh", "-c",
                     "mount -t tmpfs -o ro,mode=0700 none \"$XDG_RUNTIME_DIR\" && exec \"$0\"",
                     ORVENNA_PROBE});
        EXPECT_TRUE(waitForLine(probe.process(), "ready")) << "read-only runtime directory";
    }
}

} // namespace
