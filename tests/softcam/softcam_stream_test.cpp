// End-to-end: the camera in a private PipeWire session, read by GStreamer's
// pipewiresrc in a process of its own.
#include "frame_pump.h"
#include "pipewire_test_session.h"
#include "test_frames.h"

#include <softcam.h>

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QSet>
#include <QThread>

#include <gtest/gtest.h>

#include <chrono>
#include <memory>

using namespace std::chrono_literals;

namespace {

struct CameraDeleter {
    void operator()(void* camera) const { scDeleteCamera(camera); }
};
using CameraPtr = std::unique_ptr<void, CameraDeleter>;

// Polls scIsConnected until it equals `wanted`; false when `limit` passes first.
bool connectedWithin(void* camera, bool wanted, std::chrono::milliseconds limit)
{
    for (const QDeadlineTimer deadline(limit); scIsConnected(camera) != wanted; QThread::msleep(5))
        if (deadline.hasExpired())
            return false;
    return true;
}

class SoftcamStream : public ::testing::Test {
protected:
    void SetUp() override { SKIP_WITHOUT_PIPEWIRE(); }
};

// Each camera leaves the graph when deleted, and the next one is created anew.
TEST_F(SoftcamStream, NodeIsListedAsACameraWithFixedFormatsUntilDeleted)
{
    struct Case {
        float fps;
        int advertised;
    };
    for (const Case& c : {Case{30.0f, 30}, Case{30000.0f / 1001.0f, 30}, Case{7.4f, 7}}) {
        SCOPED_TRACE(c.fps);
        CameraPtr camera(scCreateCamera(320, 240, c.fps));
        ASSERT_TRUE(camera);
        const QJsonObject node = waitForCameraNode(10s);
        ASSERT_FALSE(node.isEmpty()) << "node never appeared in pw-dump";
        const QJsonObject info = node[u"info"].toObject();
        const QJsonObject props = info[u"props"].toObject();
        EXPECT_EQ(props[u"node.description"].toString(), u"Orvenna Camera");
        EXPECT_EQ(props[u"media.class"].toString(), u"Video/Source");
        EXPECT_EQ(props[u"media.role"].toString(), u"Camera");

        QSet<QString> formats;
        for (const QJsonValue& f : info[u"params"][u"EnumFormat"].toArray()) {
            // A range or a choice would be an object with "default"/"min" or an array.
            EXPECT_EQ(f[u"size"][u"width"].toInt(), 320);
            EXPECT_EQ(f[u"size"][u"height"].toInt(), 240);
            EXPECT_EQ(f[u"framerate"][u"num"].toInt(), c.advertised);
            EXPECT_EQ(f[u"framerate"][u"denom"].toInt(), 1);
            formats.insert(f[u"format"].toString());
        }
        EXPECT_EQ(formats, (QSet<QString>{"BGR", "BGRx", "RGBx", "YUY2", "I420", "NV12"}));
        camera.reset();
        EXPECT_TRUE(waitForCameraNode(0ms).isEmpty());  // gone by the time pw-dump next looks
    }
}

// At 64 x 48 GStreamer's own videoconvert turns every format back into BGR
// (its default row alignment equals tight packing there): a check on our
// colour matrix and layout that does not rely on the test's decoder. At odd
// sizes (chroma planes round up, rows stay tightly packed) the test decodes.
TEST_F(SoftcamStream, KnownFrameArrivesInEveryFormat)
{
    struct Case {
        const char* format;
        int width;
        int height;
        bool viaGStreamer;
        int tolerance;
    };
    const Case cases[] = {
        {"BGR", 64, 48, true, 0},   {"BGRx", 64, 48, true, 0},  {"RGBx", 64, 48, true, 0},
        {"YUY2", 64, 48, true, 6},  {"I420", 64, 48, true, 6},  {"NV12", 64, 48, true, 6},
        {"YUY2", 65, 47, false, 4}, {"I420", 65, 47, false, 4}, {"NV12", 65, 47, false, 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.format << " " << c.width << "x" << c.height);
        CameraPtr camera(scCreateCamera(c.width, c.height, 30));
        ASSERT_TRUE(camera);
        const std::vector<uint8_t> sent = quadrantFrame(c.width, c.height);
        FramePump pump(camera.get(), sent);
        const QString readAs = c.viaGStreamer ? QStringLiteral("BGR") : QString::fromLatin1(c.format);
        GstConsumer consumer(QString::fromLatin1(c.format), packedFrameBytes(readAs, c.width, c.height),
                             c.viaGStreamer ? readAs : QString());
        QByteArray frame;
        // The first buffer may predate the first frame posted.
        ASSERT_TRUE(consumer.nextFrame(frame) && consumer.nextFrame(frame)) << "no frames arrived";
        const auto received = decodeToBgr(readAs, c.width, c.height, frame);
        EXPECT_LE(largestDifference(sent, received, c.width, c.height, 2), c.tolerance);
    }
}

TEST_F(SoftcamStream, ConsumerIsServedThirtyFramesASecondAndConnectedFollowsConsumers)
{
    CameraPtr camera(scCreateCamera(64, 48, 30));
    ASSERT_TRUE(camera);
    FramePump pump(camera.get(), quadrantFrame(64, 48));
    ASSERT_FALSE(waitForCameraNode(10s).isEmpty());
    EXPECT_FALSE(scIsConnected(camera.get()));
    EXPECT_FALSE(scWaitForConnection(camera.get(), 0.05f));

    auto first = std::make_unique<GstConsumer>(QStringLiteral("BGR"), 64 * 48 * 3);
    QByteArray frame;
    for (int i = 0; i < 5; ++i)   // settle
        ASSERT_TRUE(first->nextFrame(frame));
    QElapsedTimer timer;
    timer.start();
    constexpr int kFrames = 90;   // 3 s at 30 fps
    for (int i = 0; i < kFrames; ++i)
        ASSERT_TRUE(first->nextFrame(frame));
    EXPECT_NEAR(kFrames * 1000.0 / timer.elapsed(), 30.0, 1.5);
    // A consumer that receives frames has been streaming for a while already.
    EXPECT_TRUE(connectedWithin(camera.get(), true, 200ms));
    EXPECT_TRUE(scWaitForConnection(camera.get(), 1.0f));

    GstConsumer second(QStringLiteral("BGR"), 64 * 48 * 3);
    ASSERT_TRUE(second.nextFrame(frame));
    first.reset();   // one of two leaves: still connected
    ASSERT_TRUE(second.nextFrame(frame) && second.nextFrame(frame));
    EXPECT_TRUE(scIsConnected(camera.get()));

    second.stop();
    EXPECT_TRUE(connectedWithin(camera.get(), false, 1s));
}

} // namespace
