// What only the Qt layer of the loader decides: how much a decoded picture may take.
#include "media/image_loader.h"

#include "support/large_png.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

// A 16-bit picture at the largest side would decode into 2 GiB (nearly 3 GB
// and half a minute with the Frame beside it): it fails before decoding. A
// 16-bit picture of a usual size loads.
TEST(ImageLoaderQt, PicturesThatDecodeBeyondTheLimitFailAtOnce)
{
    QTemporaryDir dir;
    ImageLoader loader;
    ASSERT_TRUE(loader.Initialize());
    const struct {
        uint32_t side;
        bool loads;
    } cases[] = {{16384, false}, {640, true}};
    for (const auto& c : cases) {
        const std::string path = dir.filePath(QStringLiteral("%1.png").arg(c.side)).toStdString();
        ASSERT_TRUE(writeLargePng(path, c.side, c.side, 16));
        EXPECT_EQ(loader.LoadImageW(std::wstring(path.begin(), path.end()).c_str(), 0, 0), c.loads) << c.side;
        EXPECT_EQ(loader.m_pixels.size(), c.loads ? std::size_t(c.side) * c.side * 3 : 0u);
    }
}
