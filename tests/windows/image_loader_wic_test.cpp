#include "media/image_loader.h"

#include "test_media_path.h"
#include "under_wine.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace {

// The generated 3 x 2 pictures (tests/windows/CMakeLists.txt), as a Frame.
const std::vector<uint8_t> kPattern3x2 = {
    10, 200, 40,   20, 150, 80,  30, 100, 120,
    130, 100, 160, 140, 50, 200, 150, 0, 240,
};

class ImageLoaderTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_loader.Initialize()); }
    bool load(const std::wstring& name, unsigned width = 0, unsigned height = 0)
    {
        return m_loader.LoadImageW(testMediaPath(name.c_str()).c_str(), width, height);
    }
    // Every byte within `tolerance` of one colour's.
    bool allPixelsNear(int b, int g, int r, int tolerance) const
    {
        for (size_t i = 0; i < m_loader.m_pixels.size(); ++i)
            if (std::abs(m_loader.m_pixels[i] - (i % 3 == 0 ? b : i % 3 == 1 ? g : r)) > tolerance)
                return false;
        return !m_loader.m_pixels.empty();
    }
    ImageLoader m_loader;
};

TEST_F(ImageLoaderTest, NaturalSizeUnlessADifferentTargetIsGiven)
{
    // Lossless files arrive exactly; 0 in either dimension or the natural size means no scaling.
    for (auto [file, width, height] : {std::tuple{L"pattern_3x2.png", 0u, 0u}, {L"pattern_3x2.bmp", 0u, 0u},
                                       {L"pattern_3x2.png", 3u, 2u}, {L"pattern_3x2.png", 0u, 7u},
                                       {L"pattern_3x2.bmp", 5u, 0u}}) {
        ASSERT_TRUE(load(file, width, height)) << file;
        EXPECT_EQ(m_loader.m_width, 3u);
        EXPECT_EQ(m_loader.m_height, 2u);
        EXPECT_EQ(m_loader.m_pixels, kPattern3x2) << file << " " << width << " x " << height;
    }
    // Lossy: a solid colour, at its natural size and scaled.
    for (auto [width, height, natural] : {std::tuple{0u, 0u, true}, {32u, 20u, false}}) {
        ASSERT_TRUE(load(L"solid.jpg", width, height));
        EXPECT_EQ(m_loader.m_pixels.size(), natural ? 64u * 48u * 3u : 32u * 20u * 3u);
        EXPECT_EQ(m_loader.m_width, natural ? 64u : 32u);
        EXPECT_TRUE(allPixelsNear(0xC0, 0x60, 0x30, 12));
    }
}

TEST_F(ImageLoaderTest, AnimatedGifYieldsItsFirstFrame)
{
    if (underWine())
        GTEST_SKIP() << "Wine 8's WIC format converter has no path from 8bppIndexed to 24bppBGR";
    ASSERT_TRUE(load(L"red_then_blue.gif"));
    EXPECT_EQ(m_loader.m_pixels.size(), 8u * 8u * 3u);
    EXPECT_TRUE(allPixelsNear(0, 0, 255, 8));
}

TEST_F(ImageLoaderTest, BadFilesLeaveNoPictureBehind)
{
    // A PNG signature followed by a header chunk cut short.
    std::ofstream(std::string(ORVENNA_TEST_MEDIA_DIR) + "/broken.png", std::ios::binary)
        << std::string("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR\0\0", 19);
    for (const wchar_t* file : {L"broken.png", L"missing.png", L"not_media.mp4"}) {
        ASSERT_TRUE(load(L"pattern_3x2.bmp"));
        EXPECT_FALSE(load(file)) << file;
        EXPECT_TRUE(m_loader.m_pixels.empty() && m_loader.m_width == 0 && m_loader.m_height == 0) << file;
    }
}

TEST(ImageLoader, LoadsOnlyOnceInitialized)
{
    ImageLoader loader;
    const std::wstring path = testMediaPath(L"pattern_3x2.png");
    EXPECT_FALSE(loader.LoadImageW(path.c_str(), 0, 0) || !loader.m_pixels.empty());
    ASSERT_TRUE(loader.Initialize() && loader.Initialize() && loader.LoadImageW(path.c_str(), 0, 0));
    loader.Release();
    EXPECT_TRUE(loader.m_pixels.empty() && loader.m_width == 0 && loader.m_height == 0);
}

} // namespace
