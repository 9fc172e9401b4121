#include "media/image_loader.h"

#include "media/frame.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <vector>

namespace {

// The generated 3 x 2 pictures (tests/fixtures/CMakeLists.txt), as a Frame.
const std::vector<uint8_t> kPattern3x2 = {
    10, 200, 40,   20, 150, 80,  30, 100, 120,
    130, 100, 160, 140, 50, 200, 150, 0, 240,
};

QString media(const char* file)
{
    return QStringLiteral(ORVENNA_TEST_MEDIA_DIR "/") + QLatin1String(file);
}

class ImageLoaderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        ASSERT_TRUE(m_loader.Initialize());
    }
    bool load(const QString& path, unsigned width = 0, unsigned height = 0)
    {
        return m_loader.LoadImageW(path.toStdWString().c_str(), width, height);
    }
    bool isEmpty() const
    {
        return m_loader.m_pixels.empty() && m_loader.m_width == 0 && m_loader.m_height == 0;
    }
    // Every pixel within `tolerance` of one colour.
    bool allPixelsNear(int b, int g, int r, int tolerance) const
    {
        const std::vector<uint8_t>& p = m_loader.m_pixels;
        for (size_t i = 0; i + 2 < p.size(); i += 3) {
            if (std::abs(p[i] - b) > tolerance || std::abs(p[i + 1] - g) > tolerance ||
                std::abs(p[i + 2] - r) > tolerance)
                return false;
        }
        return !p.empty();
    }
    // Writes the first `fraction` of `source`'s bytes to a new file.
    QString cutShort(const QString& source, double fraction)
    {
        QFile in(source);
        EXPECT_TRUE(in.open(QIODevice::ReadOnly)) << source.toStdString();
        const QByteArray bytes = in.readAll();
        const QString path = m_dir.filePath(QStringLiteral("cut_") + QFileInfo(source).fileName());
        QFile out(path);
        EXPECT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(bytes.left(static_cast<qsizetype>(bytes.size() * fraction)));
        return path;
    }

    QTemporaryDir m_dir;
    ImageLoader m_loader;
};

TEST_F(ImageLoaderTest, FirstFrameAtTheNaturalSizeUnlessAnotherIsAsked)
{
    const QString unusualName = m_dir.filePath(QStringLiteral("ein Bild ü/ß 图.png"));
    ASSERT_TRUE(QDir().mkpath(QFileInfo(unusualName).path()));
    ASSERT_TRUE(QFile::copy(media("pattern_3x2.png"), unusualName));
    // Lossless files arrive exactly; 0 in either dimension or the natural size means no scaling.
    for (auto [path, width, height] :
         {std::tuple{media("pattern_3x2.png"), 0u, 0u}, {media("pattern_3x2.bmp"), 0u, 0u},
          {unusualName, 0u, 0u}, {media("pattern_3x2.png"), 3u, 2u},
          {media("pattern_3x2.png"), 0u, 7u}, {media("pattern_3x2.bmp"), 5u, 0u}}) {
        SCOPED_TRACE(path.toStdString() + " " + std::to_string(width) + " x " + std::to_string(height));
        ASSERT_TRUE(load(path, width, height));
        EXPECT_EQ(m_loader.m_width, 3u);
        EXPECT_EQ(m_loader.m_height, 2u);
        EXPECT_EQ(m_loader.m_pixels, kPattern3x2);
    }
    ASSERT_TRUE(load(media("red_then_blue.gif")));
    EXPECT_EQ(m_loader.m_pixels.size(), 8u * 8u * 3u);
    EXPECT_TRUE(allPixelsNear(0, 0, 255, 8));

    ASSERT_TRUE(load(media("solid.jpg"), 32, 20));
    EXPECT_EQ(m_loader.m_width, 32u);
    EXPECT_EQ(m_loader.m_height, 20u);
    EXPECT_EQ(m_loader.m_pixels.size(), 32u * 20u * 3u);
    EXPECT_TRUE(allPixelsNear(0xC0, 0x60, 0x30, 12));
    // Scaling up an odd size: swscale's spare writes stay inside the buffer.
    ASSERT_TRUE(load(media("pattern_3x2.bmp"), 7, 5));
    EXPECT_EQ(m_loader.m_pixels.size(), 7u * 5u * 3u);
}

TEST_F(ImageLoaderTest, BadFilesFailAndLeaveNoPictureBehind)
{
    // Noise keeps the compressed files long enough to cut them in their picture data.
    QImage noise(64, 48, QImage::Format_RGB888);
    std::mt19937 random(7);
    for (int y = 0; y < noise.height(); ++y) {
        for (int x = 0; x < noise.width() * 3; ++x)
            noise.scanLine(y)[x] = static_cast<uchar>(random());
    }
    for (const char* format : {"png", "bmp", "jpg"})
        ASSERT_TRUE(noise.save(m_dir.filePath(QStringLiteral("noise.") + QLatin1String(format))));
    QImage wide(kMaxFrameSide + 1, 1, QImage::Format_RGB888);
    wide.fill(Qt::gray);
    ASSERT_TRUE(wide.save(m_dir.filePath(QStringLiteral("wide.png"))));
    QFile brokenHeader(m_dir.filePath(QStringLiteral("broken.png")));
    ASSERT_TRUE(brokenHeader.open(QIODevice::WriteOnly));
    brokenHeader.write(QByteArray("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR\0\0", 19));
    brokenHeader.close();

    const struct {
        QString path;
        unsigned width = 0;
        unsigned height = 0;
    } kCases[] = {
        {m_dir.filePath(QStringLiteral("missing.png"))},
        {media("not_media.mp4")},
        {brokenHeader.fileName()},
        {cutShort(m_dir.filePath(QStringLiteral("noise.png")), 0.5)},
        {cutShort(m_dir.filePath(QStringLiteral("noise.bmp")), 0.5)},
        {cutShort(m_dir.filePath(QStringLiteral("noise.jpg")), 0.5)},
        {cutShort(media("testsrc_64x48.gif"), 0.6)},
        {m_dir.filePath(QStringLiteral("wide.png"))},
        {media("pattern_3x2.png"), kMaxFrameSide + 1, 2},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.path.toStdString());
        ASSERT_TRUE(load(media("pattern_3x2.bmp")));
        EXPECT_FALSE(load(c.path, c.width, c.height));
        EXPECT_TRUE(isEmpty());
    }

    ImageLoader uninitialised;
    EXPECT_FALSE(uninitialised.LoadImageW(media("pattern_3x2.png").toStdWString().c_str(), 0, 0));
}

} // namespace
