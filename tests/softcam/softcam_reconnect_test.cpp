// The daemon is killed and restarted under a streaming camera, in a PipeWire
// session of this test's own so that other tests keep theirs.
#include "frame_pump.h"
#include "pipewire_test_session.h"
#include "test_frames.h"

#include <softcam.h>

#include <QProcess>

#include <gtest/gtest.h>

#include <chrono>

using namespace std::chrono_literals;

namespace {

const QString kDir = QStringLiteral(PIPEWIRE_SESSION_DIR);

// Runs the session script; its exit code (-1 when it did not finish).
int sessionScript(const QString& command)
{
    QProcess script;
    script.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    script.setStandardOutputFile(QProcess::nullDevice());
    script.start(QStringLiteral(PIPEWIRE_SESSION_SCRIPT), {command, kDir});
    if (!script.waitForFinished(60000))
        return -1;
    return script.exitStatus() == QProcess::NormalExit ? script.exitCode() : -1;
}

class SoftcamReconnect : public ::testing::Test {
protected:
    void SetUp() override
    {
        qputenv("XDG_RUNTIME_DIR", kDir.toUtf8());
        qputenv("PIPEWIRE_RUNTIME_DIR", kDir.toUtf8());
        qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=" + kDir.toUtf8() + "/bus");
        const int started = sessionScript(QStringLiteral("start"));
        SKIP_WITHOUT_PIPEWIRE();
        ASSERT_EQ(started, 0);
        m_started = true;
    }

    void TearDown() override
    {
        if (m_started) {
            EXPECT_EQ(sessionScript(QStringLiteral("stop")), 0);
        }
    }

    bool m_started = false;
};

TEST_F(SoftcamReconnect, SenderKeepsPaceAndConsumersReturnAfterDaemonRestart)
{
    constexpr float kFps = 30;
    const auto interval = std::chrono::duration<double>(1.0 / kFps);
    void* camera = scCreateCamera(64, 48, kFps);
    ASSERT_NE(camera, nullptr);
    {
        FramePump pump(camera, quadrantFrame(64, 48));
                QByteArray frame;
        {
            GstConsumer before(QStringLiteral("BGR"), 64 * 48 * 3);
            ASSERT_TRUE(before.nextFrame(frame));
            EXPECT_TRUE(scWaitForConnection(camera, 5.0f));

            const int64_t callsBefore = pump.calls();
            ASSERT_EQ(sessionScript(QStringLiteral("restart")), 0);
            EXPECT_GT(pump.calls(), callsBefore) << "sender stalled while the daemon was away";
        }
        ASSERT_FALSE(waitForCameraNode(20s).isEmpty()) << "camera did not re-attach";
        GstConsumer after(QStringLiteral("BGR"), 64 * 48 * 3);
        EXPECT_TRUE(after.nextFrame(frame)) << "no frames after the restart";
        EXPECT_TRUE(scWaitForConnection(camera, 5.0f));
        pump.stop();
        EXPECT_LT(pump.longestCall(), interval + 100ms);
    }
    scDeleteCamera(camera);
}

} // namespace
