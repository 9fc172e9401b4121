// End-to-end: the camera in a private PipeWire session, read by GStreamer's
// pipewiresrc in a process of its own.
#include "frame_pump.h"
#include "gst_consumer.h"
#include "pipewire_test_session.h"
#include "test_frames.h"

#include <softcam.h>

#include <QElapsedTimer>
#include <QJsonArray>
#include <QSet>
#include <QThread>

#include <gtest/gtest.h>

#include <chrono>
#include <memory>

using namespace std::chrono_literals;

namespace {

const QString kNode = QStringLiteral("orvenna-camera");

struct CameraDeleter {
    void operator()(void* camera) const { scDeleteCamera(camera); }
};
using CameraPtr = std::unique_ptr<void, CameraDeleter>;

CameraPtr makeCamera(int width, int height, float fps)
{
    return CameraPtr(scCreateCamera(width, height, fps));
}

// Polls scIsConnected until it equals `wanted`; the time it took, or -1 ms.
std::chrono::milliseconds timeUntilConnected(void* camera, bool wanted, std::chrono::milliseconds limit)
{
    QElapsedTimer timer;
    timer.start();
    while (scIsConnected(camera) != wanted) {
        if (timer.elapsed() > limit.count())
            return -1ms;
        QThread::msleep(5);
    }
    return std::chrono::milliseconds(timer.elapsed());
}

class SoftcamStream : public ::testing::Test {
protected:
    void SetUp() override { SKIP_WITHOUT_PIPEWIRE(); }
};

TEST_F(SoftcamStream, NodeIsListedAsACameraWithFixedFormats)
{
    struct Case {
        float fps;
        int advertised;
    };
    for (const Case& c : {Case{30.0f, 30}, Case{30000.0f / 1001.0f, 30}, Case{7.4f, 7}}) {
        SCOPED_TRACE(c.fps);
        CameraPtr camera = makeCamera(320, 240, c.fps);
        ASSERT_TRUE(camera);
        const QJsonObject node = waitForNode(kNode, 10s);
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
    }
}

TEST_F(SoftcamStream, KnownFrameArrivesInEveryFormat)
{
    struct Case {
        const char* format;
        int width;
        int height;
        int tolerance;
    };
    const Case cases[] = {
        {"BGR", 64, 48, 0},  {"BGRx", 64, 48, 0}, {"RGBx", 64, 48, 0},
        {"YUY2", 64, 48, 4}, {"I420", 64, 48, 4}, {"NV12", 64, 48, 4},
        // Odd sizes: chroma planes round up, rows stay tightly packed.
        {"I420", 65, 47, 4}, {"NV12", 65, 47, 4}, {"YUY2", 65, 47, 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.format << " " << c.width << "x" << c.height);
        CameraPtr camera = makeCamera(c.width, c.height, 30);
        ASSERT_TRUE(camera);
        const std::vector<uint8_t> sent = quadrantFrame(c.width, c.height);
        FramePump pump(camera.get(), sent);
        const QString format = QString::fromLatin1(c.format);
        GstConsumer consumer(kNode, QStringLiteral("video/x-raw,format=") + format,
                             packedFrameBytes(format, c.width, c.height));
        QByteArray frame;
        ASSERT_TRUE(consumer.nextFrame(frame)) << "no frame arrived";
        // The first buffer may predate the first frame posted.
        ASSERT_TRUE(consumer.nextFrame(frame));
        const auto received = decodeToBgr(format, c.width, c.height, frame);
        EXPECT_LE(largestDifference(sent, received, c.width, c.height, 2), c.tolerance);
    }
}

TEST_F(SoftcamStream, GStreamerConvertsEachFormatBackToTheKnownFrame)
{
    // GStreamer's own converter reading what we wrote: a check on our
    // colour matrix and layout that does not rely on the test's decoder.
    // 64 wide, so GStreamer's default row alignment equals tight packing.
    constexpr int kWidth = 64, kHeight = 48;
    const std::vector<uint8_t> sent = quadrantFrame(kWidth, kHeight);
    for (const char* format : {"YUY2", "I420", "NV12", "RGBx"}) {
        SCOPED_TRACE(format);
        CameraPtr camera = makeCamera(kWidth, kHeight, 30);
        ASSERT_TRUE(camera);
        FramePump pump(camera.get(), sent);
        GstConsumer consumer(kNode, QStringLiteral("video/x-raw,format=") + QLatin1String(format),
                             kWidth * kHeight * 3, QStringLiteral("BGR"));
        QByteArray frame;
        ASSERT_TRUE(consumer.nextFrame(frame));
        ASSERT_TRUE(consumer.nextFrame(frame));
        const auto received = decodeToBgr(QStringLiteral("BGR"), kWidth, kHeight, frame);
        EXPECT_LE(largestDifference(sent, received, kWidth, kHeight, 2), 6);
    }
}

TEST_F(SoftcamStream, ConsumerReceivesThirtyFramesPerSecond)
{
    CameraPtr camera = makeCamera(64, 48, 30);
    ASSERT_TRUE(camera);
    FramePump pump(camera.get(), quadrantFrame(64, 48));
    GstConsumer consumer(kNode, QStringLiteral("video/x-raw,format=BGR"), 64 * 48 * 3);
    QByteArray frame;
    for (int i = 0; i < 5; ++i)   // settle
        ASSERT_TRUE(consumer.nextFrame(frame));
    QElapsedTimer timer;
    timer.start();
    constexpr int kFrames = 90;   // 3 s at 30 fps
    for (int i = 0; i < kFrames; ++i)
        ASSERT_TRUE(consumer.nextFrame(frame));
    const double fps = kFrames * 1000.0 / timer.elapsed();
    EXPECT_NEAR(fps, 30.0, 1.5);
}

TEST_F(SoftcamStream, ConnectedFollowsConsumersStartingAndStopping)
{
    CameraPtr camera = makeCamera(64, 48, 30);
    ASSERT_TRUE(camera);
    FramePump pump(camera.get(), quadrantFrame(64, 48));
    ASSERT_TRUE(waitForNode(kNode, 10s).size() > 0);
    EXPECT_FALSE(scIsConnected(camera.get()));
    EXPECT_FALSE(scWaitForConnection(camera.get(), 0.05f));

    const QString caps = QStringLiteral("video/x-raw,format=BGR");
    auto first = std::make_unique<GstConsumer>(kNode, caps, 64 * 48 * 3);
    QByteArray frame;
    ASSERT_TRUE(first->nextFrame(frame));
    // A consumer that receives frames has been streaming for a while already.
    EXPECT_GE(timeUntilConnected(camera.get(), true, 200ms), 0ms);
    EXPECT_TRUE(scWaitForConnection(camera.get(), 1.0f));

    GstConsumer second(kNode, caps, 64 * 48 * 3);
    ASSERT_TRUE(second.nextFrame(frame));
    first.reset();   // one of two leaves: still connected
    ASSERT_TRUE(second.nextFrame(frame));
    ASSERT_TRUE(second.nextFrame(frame));
    EXPECT_TRUE(scIsConnected(camera.get()));

    second.stop();
    const auto untilDisconnected = timeUntilConnected(camera.get(), false, 5s);
    EXPECT_GE(untilDisconnected, 0ms);
    EXPECT_LE(untilDisconnected, 1s);
}

TEST_F(SoftcamStream, DeletedCameraLeavesTheGraphAndCanBeCreatedAgain)
{
    CameraPtr camera = makeCamera(64, 48, 30);
    ASSERT_TRUE(camera);
    ASSERT_FALSE(waitForNode(kNode, 10s).isEmpty());
    camera.reset();
    // The node is gone by the time pw-dump next looks.
    EXPECT_TRUE(waitForNode(kNode, 0ms).isEmpty());

    camera = makeCamera(32, 24, 15);
    ASSERT_TRUE(camera);
    FramePump pump(camera.get(), quadrantFrame(32, 24));
    GstConsumer consumer(kNode, QStringLiteral("video/x-raw,format=BGR"), 32 * 24 * 3);
    QByteArray frame;
    EXPECT_TRUE(consumer.nextFrame(frame));
}

} // namespace
