// A real browser reads the camera: a picture of one colour on the left and
// another on the right goes through libsoftcam.so in the private PipeWire
// session; the browser reaches it through the Camera portal (started here),
// and its page logs the size, the colours and the label it sees.
//
//   browser_camera_test chromium|firefox WIDTH HEIGHT PAGE
//
// Exit code 0 when the browser shows the picture, 1 when not, 77 (skip,
// reason printed) when the browser is not installed or PipeWire cannot run.
#include "frame_pump.h"

#include <softcam.h>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QDBusReply>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <QUrl>

#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <memory>

namespace {

constexpr int kSkip = 77;
constexpr int kTolerance = 12;          // per channel, after YUV and back
const int kLeft[3] = {220, 40, 40};     // RGB
const int kRight[3] = {40, 80, 220};

void say(const QString& text)
{
    std::fprintf(stderr, "%s\n", qPrintable(text));
}

// A browser with the flags that let it reach PipeWire cameras headless,
// without asking, and print the page's console (and, for Chromium, the capture
// log that names most failures). --no-sandbox only because tests run as root.
struct Browser {
    QString program;
    QStringList arguments;
};

Browser browserFor(const QString& name, const QString& home, const QUrl& page)
{
    if (name == u"chromium")
        return {QStringLiteral("chromium"),
                {QStringLiteral("--headless=new"), QStringLiteral("--no-sandbox"),
                 QStringLiteral("--enable-features=WebRtcPipeWireCamera"),
                 QStringLiteral("--use-fake-ui-for-media-stream"),
                 QStringLiteral("--enable-logging=stderr"), QStringLiteral("--v=0"),
                 QStringLiteral("--vmodule=camera_portal=1,pipewire_session=1,video_capture_*=2"),
                 QStringLiteral("--user-data-dir=") + home + QStringLiteral("/chromium"),
                 page.toString()}};
    QFile prefs(home + QStringLiteral("/firefox/user.js"));
    QDir(home).mkpath(QStringLiteral("firefox"));
    if (prefs.open(QIODevice::WriteOnly))
        prefs.write("user_pref(\"media.webrtc.camera.allow-pipewire\", true);\n"
                    "user_pref(\"media.navigator.permission.disabled\", true);\n"
                    "user_pref(\"devtools.console.stdout.content\", true);\n");
    return {QStringLiteral("firefox-esr"),
            {QStringLiteral("-headless"), QStringLiteral("-no-remote"), QStringLiteral("-profile"),
             home + QStringLiteral("/firefox"), page.toString()}};
}

// Polls `ready` until it holds; false once `limit` passes.
template <typename Ready>
bool waitUntil(Ready ready, int limitMs)
{
    for (const QDeadlineTimer deadline(limitMs); !ready(); QThread::msleep(20))
        if (deadline.hasExpired())
            return false;
    return true;
}

// A process started here and ended here: terminated, then killed with every
// process it started (it leads a process group of its own).
class Child {
public:
    Child(const QString& program, const QStringList& arguments, const QProcessEnvironment& env)
    {
        m_process.setProcessEnvironment(env);
        m_process.setProcessChannelMode(QProcess::MergedChannels);
        m_process.setChildProcessModifier([] { setpgid(0, 0); });
        m_process.start(program, arguments);
        if (!m_process.waitForStarted(5000))
            say(program + QStringLiteral(" did not start: ") + m_process.errorString());
    }
    ~Child()
    {
        const qint64 group = m_process.processId();
        if (group <= 0)
            return;
        ::kill(-pid_t(group), SIGTERM);
        if (!m_process.waitForFinished(5000))
            ::kill(-pid_t(group), SIGKILL);
        m_process.waitForFinished(5000);
        ::kill(-pid_t(group), SIGKILL);   // children that outlived their parent
    }
    QProcess& process() { return m_process; }

private:
    QProcess m_process;
};

// The Camera portal on the session bus, with the permission store saying yes
// to unsandboxed programs. A `.portal` file declaring the Access interface
// for our desktop name is what makes the portal export its Camera interface;
// no backend has to run. Its files and the store's database lie in `dir`.
class CameraPortal {
public:
    bool start(const QString& dir)
    {
        QDir(dir).mkpath(QStringLiteral("portals"));
        QFile declaration(dir + QStringLiteral("/portals/orvenna-test.portal"));
        if (!declaration.open(QIODevice::WriteOnly) ||
            declaration.write("[portal]\nDBusName=org.freedesktop.impl.portal.desktop.orvenna-test\n"
                              "Interfaces=org.freedesktop.impl.portal.Access;\nUseIn=orvenna-test\n") < 0)
            return false;
        declaration.close();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_DATA_HOME"), dir + QStringLiteral("/data"));
        env.insert(QStringLiteral("XDG_DESKTOP_PORTAL_DIR"), dir + QStringLiteral("/portals"));
        env.insert(QStringLiteral("XDG_CURRENT_DESKTOP"), QStringLiteral("orvenna-test"));
        // Started by us, not by bus activation, so that we stop exactly these.
        m_store = std::make_unique<Child>(QStringLiteral("/usr/libexec/xdg-permission-store"), QStringList{}, env);
        if (!owned(QStringLiteral("org.freedesktop.impl.portal.PermissionStore")))
            return false;
        QDBusInterface store(QStringLiteral("org.freedesktop.impl.portal.PermissionStore"),
                             QStringLiteral("/org/freedesktop/impl/portal/PermissionStore"),
                             QStringLiteral("org.freedesktop.impl.portal.PermissionStore"));
        const QDBusMessage set = store.call(QStringLiteral("SetPermission"), QStringLiteral("devices"), true,
                                            QStringLiteral("camera"), QString(), QStringList{QStringLiteral("yes")});
        if (set.type() == QDBusMessage::ErrorMessage) {
            say(QStringLiteral("permission store refused: ") + set.errorMessage());
            return false;
        }
        m_portal = std::make_unique<Child>(QStringLiteral("/usr/libexec/xdg-desktop-portal"), QStringList{}, env);
        return owned(QStringLiteral("org.freedesktop.portal.Desktop"));
    }

    // True once the portal has found a camera node in PipeWire.
    bool seesCamera() const
    {
        QDBusInterface camera(QStringLiteral("org.freedesktop.portal.Desktop"),
                              QStringLiteral("/org/freedesktop/portal/desktop"),
                              QStringLiteral("org.freedesktop.portal.Camera"));
        return camera.property("IsCameraPresent").toBool();
    }

private:
    static bool owned(const QString& name)
    {
        const bool ok = waitUntil([&] { return QDBusConnection::sessionBus().interface()->isServiceRegistered(name).value(); },
                                  10000);
        if (!ok)
            say(name + QStringLiteral(" did not appear on the session bus"));
        return ok;
    }

    std::unique_ptr<Child> m_store;
    std::unique_ptr<Child> m_portal;   // declared last: stopped first
};

// A width x height BGR picture: kLeft on the left half, kRight on the right.
std::vector<uint8_t> twoColourFrame(int width, int height)
{
    std::vector<uint8_t> frame(size_t(width) * height * 3);
    for (size_t i = 0; i < frame.size(); i += 3) {
        const int* rgb = int(i / 3 % width) < width / 2 ? kLeft : kRight;
        frame[i] = uint8_t(rgb[2]), frame[i + 1] = uint8_t(rgb[1]), frame[i + 2] = uint8_t(rgb[0]);
    }
    return frame;
}

bool near(const QString& rgb, const int* expected)
{
    const QStringList parts = rgb.split(u',');
    for (int k = 0; k < 3; ++k)
        if (parts.size() != 3 || std::abs(parts[k].toInt() - expected[k]) > kTolerance)
            return false;
    return true;
}

struct CameraDeleter { void operator()(void* camera) const { scDeleteCamera(camera); } };

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 5) {
        say(QStringLiteral("usage: browser_camera_test chromium|firefox WIDTH HEIGHT PAGE"));
        return 2;
    }
    const int width = args[2].toInt(), height = args[3].toInt();
    QTemporaryDir home;
    const Browser browser = browserFor(args[1], home.path(), QUrl::fromLocalFile(args[4]));
    if (QStandardPaths::findExecutable(browser.program).isEmpty()) {
        say(browser.program + QStringLiteral(" is not installed: skipped"));
        return kSkip;
    }
    QFile why(qEnvironmentVariable("XDG_RUNTIME_DIR") + QStringLiteral("/unavailable"));
    if (why.open(QIODevice::ReadOnly)) {
        say(QStringLiteral("PipeWire cannot be started here: ") + QString::fromUtf8(why.readAll().trimmed()));
        return kSkip;
    }

    std::unique_ptr<void, CameraDeleter> camera(scCreateCamera(width, height, 30));
    if (!camera) {
        say(QStringLiteral("no camera at that size"));
        return 1;
    }
    FramePump pump(camera.get(), twoColourFrame(width, height));
    CameraPortal portal;
    if (!portal.start(home.path()))
        return 1;
    if (!waitUntil([&] { return portal.seesCamera(); }, 10000)) {
        say(QStringLiteral("the Camera portal never saw the camera"));
        return 1;
    }

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), home.path());
    QElapsedTimer sinceLaunch;
    sinceLaunch.start();
    Child child(browser.program, browser.arguments, env);
    QProcess& process = child.process();

    // The page logs ten times a second; the last report explains a failure.
    static const QRegularExpression report(QStringLiteral("orvenna-camera (.*?)\"?(, source:.*)?$"));
    // Exact, or grown to even by a repeated edge (the camera's chroma-subsampled formats).
    const QStringList sizes = {QStringLiteral("%1x%2").arg(width).arg(height),
                               QStringLiteral("%1x%2").arg(width + width % 2).arg(height + height % 2)};
    QString last = QStringLiteral("(nothing)");
    QStringList browserLog;   // its last lines, which name most failures
    QStringList notes;
    for (const QDeadlineTimer deadline(20000); !deadline.hasExpired();) {
        if (!process.canReadLine() && !process.waitForReadyRead(int(deadline.remainingTime()))) {
            if (process.state() == QProcess::NotRunning)
                break;
            continue;
        }
        const QString line = QString::fromUtf8(process.readLine()).trimmed();
        const QRegularExpressionMatch m = report.match(line);
        if (!m.hasMatch()) {
            browserLog.append(line);
            if (browserLog.size() > 40)
                browserLog.removeFirst();
            continue;
        }
        last = m.captured(1);
        if (last.startsWith(u"error="))
            break;
        if (last.startsWith(u"note=")) {   // the page opens the camera again
            notes.append(last.mid(5));
            continue;
        }
        static const QRegularExpression fields(QStringLiteral("^size=(\\S+) left=(\\S+) right=(\\S+) labels=(.*)$"));
        const QRegularExpressionMatch f = fields.match(last);
        if (f.hasMatch() && sizes.contains(f.captured(1)) && near(f.captured(2), kLeft) &&
            near(f.captured(3), kRight) && f.captured(4).split(u'|').contains(u"Orvenna Camera")) {
            say(QStringLiteral("%1 shows the picture %2 ms after launch: %3 (camera opened again %4 times: %5)")
                    .arg(args[1]).arg(sinceLaunch.elapsed()).arg(last).arg(notes.size()).arg(notes.join(u", ")));
            return 0;
        }
    }
    say(browserLog.join(u'\n'));
    say(QStringLiteral("%1 did not show the %2 picture (left %3,%4,%5, right %6,%7,%8); last report: %9")
            .arg(args[1], sizes[0])
            .arg(kLeft[0]).arg(kLeft[1]).arg(kLeft[2]).arg(kRight[0]).arg(kRight[1]).arg(kRight[2])
            .arg(last + QStringLiteral(" (camera opened again: ") + notes.join(u", ") + u')'));
    return 1;
}
