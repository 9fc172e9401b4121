// browser_camera_test chromium|firefox WIDTH HEIGHT PAGE: a two-colour picture goes
// through libsoftcam.so in the private PipeWire session to a real browser (through the
// Camera portal started here), whose page logs the size, colours and labels it sees.
// Exit code 0 when the browser shows it, 1 when not, 77 (skip) without browser or PipeWire.
#include "frame_pump.h"

#include <softcam.h>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QDeadlineTimer>
#include <QDir>
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
#include <optional>

namespace {

constexpr int kSkip = 77;
constexpr int kTolerance = 12;        // per channel, through YUV and back
const int kLeft[3] = {220, 40, 40};   // RGB
const int kRight[3] = {40, 80, 220};

void say(const QString& text) { std::fprintf(stderr, "%s\n", qPrintable(text)); }

// Headless, reaching PipeWire cameras without asking, printing the page's console (Chromium
// also its capture log, which names most failures). --no-sandbox: tests run as root.
QStringList browserCommand(const QString& name, const QString& home, const QString& page)
{
    if (name == u"chromium")
        return {"chromium", "--headless=new", "--no-sandbox", "--enable-features=WebRtcPipeWireCamera",
                "--use-fake-ui-for-media-stream", "--enable-logging=stderr", "--v=0",
                "--vmodule=camera_portal=1,pipewire_session=1,video_capture_*=2", "--user-data-dir=" + home, page};
    QFile prefs(home + "/user.js");
    if (QDir().mkpath(home) && prefs.open(QIODevice::WriteOnly))
        prefs.write("user_pref(\"media.webrtc.camera.allow-pipewire\", true);\n"
                    "user_pref(\"media.navigator.permission.disabled\", true);\n"
                    "user_pref(\"devtools.console.stdout.content\", true);\n");
    return {"firefox-esr", "-headless", "-no-remote", "-profile", home, page};
}

// Polls `ready` until it holds; false after 10 s. Handles no events: QtDBus would keep what they bring.
template <typename Ready>
bool within10s(Ready ready)
{
    for (const QDeadlineTimer deadline(10000); !ready(); QThread::msleep(20))
        if (deadline.hasExpired())
            return false;
    return true;
}

// A process leading a group of its own, which is terminated, then killed (children too).
struct Child {
    Child(const QStringList& command, const QProcessEnvironment& env)
    {
        process.setProcessEnvironment(env);
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.setChildProcessModifier([] { setpgid(0, 0); });
        process.start(command.first(), command.mid(1));
        if (!process.waitForStarted(5000))
            say(command.first() + QStringLiteral(" did not start: ") + process.errorString());
    }
    ~Child()
    {
        if (const auto group = pid_t(process.processId()); group > 0) {
            ::kill(-group, SIGTERM);
            process.waitForFinished(5000);
            ::kill(-group, SIGKILL);
            process.waitForFinished(5000);
        }
    }
    QProcess process;
};

bool appears(const QString& busName)
{
    const auto owned = [&] { return QDBusConnection::sessionBus().interface()->isServiceRegistered(busName).value(); };
    return within10s(owned) || (say(busName + QStringLiteral(" did not appear on the session bus")), false);
}

// The permission store, saying yes to cameras for unsandboxed programs (app id ""), and the
// portal, files in `dir`; started here, not by bus activation, so we stop exactly these. A
// `.portal` file declaring Access for our desktop makes it export Camera, with no backend.
bool startCameraPortal(const QString& dir, std::optional<Child>& store, std::optional<Child>& portal)
{
    QFile declaration(dir + "/portals/test.portal");
    if (!QDir().mkpath(dir + "/portals") || !declaration.open(QIODevice::WriteOnly) ||
        declaration.write("[portal]\nDBusName=org.freedesktop.impl.portal.desktop.test\n"
                          "Interfaces=org.freedesktop.impl.portal.Access;\nUseIn=orvenna-test\n") < 0)
        return false;
    declaration.close();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_DATA_HOME", dir);
    env.insert("XDG_DESKTOP_PORTAL_DIR", dir + "/portals");
    env.insert("XDG_CURRENT_DESKTOP", "orvenna-test");
    const QString storeName = "org.freedesktop.impl.portal.PermissionStore";
    store.emplace(QStringList{"/usr/libexec/xdg-permission-store"}, env);
    if (!appears(storeName))
        return false;
    const QDBusMessage set = QDBusInterface(storeName, "/org/freedesktop/impl/portal/PermissionStore", storeName)
                                 .call("SetPermission", "devices", true, "camera", QString(), QStringList{"yes"});
    if (set.type() == QDBusMessage::ErrorMessage)
        return say(QStringLiteral("the permission store refused: ") + set.errorMessage()), false;
    portal.emplace(QStringList{"/usr/libexec/xdg-desktop-portal"}, env);
    return appears("org.freedesktop.portal.Desktop");
}

bool portalSeesCamera()
{
    return QDBusInterface("org.freedesktop.portal.Desktop", "/org/freedesktop/portal/desktop",
                          "org.freedesktop.portal.Camera").property("IsCameraPresent").toBool();
}

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

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 5)
        return say(QStringLiteral("usage: browser_camera_test chromium|firefox WIDTH HEIGHT PAGE")), 2;
    const QString& name = args[1];
    const int width = args[2].toInt(), height = args[3].toInt();
    QTemporaryDir dir;
    const QStringList command = browserCommand(name, dir.filePath("profile"), QUrl::fromLocalFile(args[4]).toString());
    if (QStandardPaths::findExecutable(command.first()).isEmpty())
        return say(command.first() + QStringLiteral(" is not installed: skipped")), kSkip;
    QFile why(qEnvironmentVariable("XDG_RUNTIME_DIR") + QStringLiteral("/unavailable"));
    if (why.open(QIODevice::ReadOnly))
        return say(QStringLiteral("PipeWire cannot be started here: ") + QString::fromUtf8(why.readAll())), kSkip;

    std::unique_ptr<void, void (*)(void*)> camera(scCreateCamera(width, height, 30), scDeleteCamera);
    if (!camera)
        return say(QStringLiteral("no camera at that size")), 1;
    FramePump pump(camera.get(), twoColourFrame(width, height));
    std::optional<Child> store, portal, browser;   // stopped in reverse order
    if (!startCameraPortal(dir.path(), store, portal))
        return 1;
    if (!within10s(portalSeesCamera))
        return say(QStringLiteral("the Camera portal never saw the camera")), 1;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("HOME", dir.path());
    QProcess& process = browser.emplace(command, env).process;

    // Exact, or grown to even by a repeated edge (the camera's subsampled formats).
    const QStringList sizes = {QString("%1x%2").arg(width).arg(height),
                               QString("%1x%2").arg(width + width % 2).arg(height + height % 2)};
    static const QRegularExpression report(QStringLiteral("orvenna-camera (.*?)\"?(, source:.*)?$"));
    static const QRegularExpression picture(QStringLiteral("^size=(\\S+) left=(\\S+) right=(\\S+) labels=(.*)$"));
    QString last = QStringLiteral("(nothing)");
    QStringList notes, browserLog;   // the page's reopenings; the browser's last lines
    for (const QDeadlineTimer deadline(20000); !last.startsWith(u"error=") && !deadline.hasExpired();) {
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
        if ((last = m.captured(1)).startsWith(u"note="))
            notes.append(last.mid(5));
        const QRegularExpressionMatch p = picture.match(last);
        if (p.hasMatch() && sizes.contains(p.captured(1)) && near(p.captured(2), kLeft) &&
            near(p.captured(3), kRight) && p.captured(4).split(u'|').contains(u"Orvenna Camera"))
            return say(name + QStringLiteral(" shows the picture: ") + last), 0;
    }
    say(browserLog.join(u'\n'));
    say(QStringLiteral("%1 did not show the %2 picture; last report: %3; opened again: %4")
            .arg(name, sizes[0], last, notes.join(u", ")));
    return 1;
}
