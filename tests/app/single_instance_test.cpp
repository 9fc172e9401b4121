// Real processes: the probe (the program's guard and window) first, then the program itself.
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QLocalSocket>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QtEndian>

#include <gtest/gtest.h>

#include <pwd.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
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

// A child process; one still running at the end gets its input closed (the
// probe then quits) and must end cleanly, sanitizer reports included.
struct Child {
    Child(const QProcessEnvironment& environment, const QString& program, const QStringList& arguments = {},
          const QString& workingDir = {})
    {
        process.setProcessEnvironment(environment);
        process.setWorkingDirectory(workingDir);
        process.start(program, arguments);
    }
    ~Child()
    {
        if (process.state() == QProcess::NotRunning)
            return;
        process.closeWriteChannel();
        EXPECT_TRUE(endsWithZero());
    }
    testing::AssertionResult endsWithZero()
    {
        const bool ended = process.waitForFinished(kTimeoutMs);
        if (ended && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0)
            return testing::AssertionSuccess();
        if (!ended)
            process.kill(), process.waitForFinished();
        return testing::AssertionFailure() << (ended ? "exit code " : "did not end, killed: ") << process.exitCode()
                                           << ":\n" << process.readAllStandardError().constData();
    }
    // Reads the output up to a line equal to `expected`; an activation on the
    // way is a request answered that should not have been.
    testing::AssertionResult waitForLine(const QByteArray& expected)
    {
        const QDeadlineTimer deadline(kTimeoutMs);
        QByteArray seen, line;
        while (!line.startsWith("activated")
               && (process.canReadLine() || process.waitForReadyRead(int(deadline.remainingTime())))) {
            if (!process.canReadLine())
                continue;
            if ((line = process.readLine().trimmed()) == expected)
                return testing::AssertionSuccess();
            seen += line + '\n';
        }
        return testing::AssertionFailure() << "no line \"" << expected.constData() << "\"; saw:\n"
                                           << seen.constData() << process.readAllStandardError().constData();
    }

    QProcess process;
};

TEST(SingleInstance, SecondStartBringsTheFirstWindowToTheFront)
{
    const struct {
        const char* name;
        std::vector<std::pair<QByteArray, QByteArray>> steps;  // commands to the first window, the state each leads to
        QByteArray stateAfter;
        QStringList arguments;  // of the second start, in the directory WD
        QByteArray filesAfter;  // as the first instance receives them
    } cases[] = {
        {"hidden", {{"other", "state visible"}, {"hide", "state"}}, "state visible active", {"/media/still.png"},
         R"(["/media/still.png"])"},
        {"minimized", {{"other", "state visible"}, {"minimize", "state visible minimized"}}, "state visible active",
         {"clip ü.mp4"}, R"(["WD/clip ü.mp4"])"},
        {"maximized, then minimized",
         {{"maximize", "state visible maximized active"}, {"other", "state visible maximized"},
          {"minimize", "state visible minimized maximized"}},
         "state visible maximized active", {}, "[]"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir runtimeDir, workingDir;
        const QProcessEnvironment environment = environmentWithRuntimeDir(runtimeDir.path());
        Child first(environment, ORVENNA_PROBE);
        ASSERT_TRUE(first.waitForLine("ready"));
        for (const auto& [command, state] : c.steps) {
            first.process.write(command + '\n');
            ASSERT_TRUE(first.waitForLine(state)) << "after " << command.constData();
        }
        EXPECT_TRUE(Child(environment, ORVENNA_PROGRAM, c.arguments, workingDir.path()).endsWithZero());
        QByteArray files = c.filesAfter;
        EXPECT_TRUE(first.waitForLine("activated " + files.replace("WD", workingDir.path().toUtf8())));
        EXPECT_TRUE(first.waitForLine(c.stateAfter));
    }
}

// A request: "ORVA", the payload's length (32 bits, big-endian), the payload.
QByteArray request(const QByteArray& payload, quint32 length)
{
    QByteArray header("ORVA\0\0\0\0", 8);
    qToBigEndian(length, header.data() + 4);
    return header + payload;
}

// A killed instance leaves its lock and socket behind; the next one still
// serves requests, and drops malformed ones unanswered.
TEST(SingleInstance, AfterAKilledInstanceTheNextDropsMalformedRequests)
{
    QTemporaryDir runtimeDir;
    const QProcessEnvironment environment = environmentWithRuntimeDir(runtimeDir.path());
    {
        Child killed(environment, ORVENNA_PROBE);
        ASSERT_TRUE(killed.waitForLine("ready"));
        killed.process.kill();
        ASSERT_TRUE(killed.process.waitForFinished(kTimeoutMs));
    }
    for (const char* left : {"orvenna.lock", "orvenna.socket"})
        ASSERT_TRUE(QFile::exists(runtimeDir.filePath(left))) << left;
    Child first(environment, ORVENNA_PROBE);
    ASSERT_TRUE(first.waitForLine("ready"));

    // Each on a connection of its own that the first instance ends (a silent one after a while).
    const std::pair<const char*, QByteArray> requests[] = {
        {"stranger's magic", QByteArray("ORVB\0\0\0\0", 8)},
        {"oversized", request("/a", 0xffffffff)},
        {"relative path", request(QByteArray("a\0", 2), 2)},
        {"invalid UTF-8", request(QByteArray("/\xff\0", 3), 3)},
        {"unterminated path", request("/a", 2)},
        {"truncated, then silent", request("/a", 5)},
        {"sound", request(QByteArray("/sound\0", 7), 7)},
    };
    for (const auto& [name, bytes] : requests) {
        QLocalSocket socket;
        socket.connectToServer(runtimeDir.filePath("orvenna.socket"));
        ASSERT_TRUE(socket.waitForConnected(kTimeoutMs)) << name;
        socket.write(bytes);
        socket.waitForBytesWritten(kTimeoutMs);
        EXPECT_TRUE(socket.state() == QLocalSocket::UnconnectedState || socket.waitForDisconnected(kTimeoutMs))
            << name;
    }
    EXPECT_TRUE(first.waitForLine(R"(activated ["/sound"])"));
}

// A neighbour makes 500 connections and holds them, or as many as it can; once it lets go a
// second start reaches the first instance. With files enough for the clients it keeps, the
// first hears every connection; with fewer it listens again after the flood.
TEST(SingleInstance, ASecondStartIsHeardAfterAFloodOfConnections)
{
    constexpr int kFlood = 500;
    rlimit own{};
    ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &own), 0);
    const struct {
        const char* name;
        QString limit;  // of open files, soft:hard
        bool heardThroughout;
    } cases[] = {
        {"low soft limit, raised", "32:" + (own.rlim_max == RLIM_INFINITY ? "unlimited" : QString::number(own.rlim_max)),
         true},
        {"low hard limit", "64:64", true},
        {"hard limit below the clients kept", "32:32", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir runtimeDir;
        const QString socketPath = runtimeDir.filePath("orvenna.socket");
        const QProcessEnvironment environment = environmentWithRuntimeDir(runtimeDir.path());
        Child first(environment, "prlimit", {"--nofile=" + c.limit, ORVENNA_PROBE});
        ASSERT_TRUE(first.waitForLine("ready"));

        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        const QByteArray name = QFile::encodeName(socketPath);
        ASSERT_LT(name.size(), qsizetype(sizeof address.sun_path));
        std::memcpy(address.sun_path, name.constData(), name.size());
        std::vector<int> flood;
        int connected = 0;
        while (connected < kFlood && connected == int(flood.size())) {
            flood.push_back(socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
            connected += ::connect(flood.back(), reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
        }
        for (const int fd : flood)
            close(fd);
        if (c.heardThroughout) {
            EXPECT_EQ(connected, kFlood);
        }

        // Listening again may take the first a moment.
        const auto listening = [&] {
            QLocalSocket socket;
            socket.connectToServer(socketPath);
            return socket.waitForConnected(kTimeoutMs);
        };
        const QDeadlineTimer deadline(kTimeoutMs);
        while (!listening() && !deadline.hasExpired())
            QThread::msleep(50);
        EXPECT_TRUE(Child(environment, ORVENNA_PROGRAM, {"/media/after the flood.png"}).endsWithZero());
        EXPECT_TRUE(first.waitForLine(R"(activated ["/media/after the flood.png"])"));
    }
}

// Where no lock can be had the program runs unguarded rather than not at all.
TEST(SingleInstance, UnusableRuntimeDirectoryDoesNotKeepTheProgramFromStarting)
{
    QTemporaryDir scratch, readOnly;
    {
        // None: Qt refuses a fallback runtime directory of the wrong mode and
        // names none; nothing may land in the working directory instead.
        QProcessEnvironment environment = environmentWithRuntimeDir({});
        environment.remove("XDG_RUNTIME_DIR");
        environment.insert("TMPDIR", scratch.path());
        const QString fallback = QString("runtime-") + getpwuid(geteuid())->pw_name;
        ASSERT_TRUE(QDir().mkdir(scratch.filePath(fallback), QFile::ReadOwner | QFile::ExeOwner));
        Child probe(environment, ORVENNA_PROBE, {}, scratch.path());
        EXPECT_TRUE(probe.waitForLine("ready")) << "no runtime directory";
        EXPECT_EQ(QDir(scratch.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList{fallback});
    }
    // Read-only: a tmpfs mounted so in a user namespace of the probe's own.
    if (QProcess::execute("unshare", {"--user", "--map-root-user", "--mount", "true"}) != 0)
        GTEST_SKIP() << "no user namespaces here for a read-only runtime directory";
    Child probe(environmentWithRuntimeDir(readOnly.path()), "unshare",
                {"--user", "--map-root-user", "--mount", "sh", "-c",
                 "mount -t tmpfs -o ro,mode=0700 none \"$XDG_RUNTIME_DIR\" && exec \"$0\"", ORVENNA_PROBE});
    EXPECT_TRUE(probe.waitForLine("ready")) << "read-only runtime directory";
}

} // namespace
