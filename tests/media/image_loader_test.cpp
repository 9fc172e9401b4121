// The loader's contract, against the Qt layer and (under Wine) the WIC layer.
#include "media/image_loader.h"

#include "media/frame.h"
#include "support/test_media.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

namespace {

// The generated 3 x 2 pictures (tests/fixtures/CMakeLists.txt), as a Frame.
const std::vector<uint8_t> kPattern3x2 = {10, 200, 40, 20, 150, 80, 30, 100, 120,
                                          130, 100, 160, 140, 50, 200, 150, 0, 240};
// Wine 8's WIC converter has no path from 8bppIndexed to 24bppBGR: no GIFs there.
const wchar_t* const kGif = kWine ? L"noise_128x96.png" : L"noise_128x96.gif";
const wchar_t* const kCutGif = kWine ? L"cut_128x96.png" : L"cut_128x96.gif";

bool load(ImageLoader& loader, const std::wstring& file, unsigned width = 0, unsigned height = 0)
{
    return loader.LoadImageW(testMediaPath(file).c_str(), width, height);
}

// Every pixel within 12 of one colour.
bool allPixelsNear(const std::vector<uint8_t>& frame, std::array<int, 3> bgr)
{
    for (size_t i = 0; i < frame.size(); ++i)
        if (std::abs(frame[i] - bgr[i % 3]) > 12)
            return false;
    return !frame.empty();
}

TEST(ImageLoader, FirstFrameAtTheNaturalSizeUnlessAnotherIsAsked)
{
    ImageLoader loader;
    ASSERT_TRUE(loader.Initialize());
    // Lossless files arrive exactly; 0 in either dimension or the natural size means no scaling.
    for (auto [file, width, height] :
         {std::tuple{L"pattern_3x2.png", 0u, 0u}, {L"pattern_3x2.bmp", 0u, 0u}, {L"ein Bild ü/ß 图.png", 0u, 0u},
          {L"pattern_3x2.png", 3u, 2u}, {L"pattern_3x2.png", 0u, 7u}, {L"pattern_3x2.bmp", 5u, 0u}}) {
        ASSERT_TRUE(load(loader, file, width, height)) << file << " " << width << " x " << height;
        EXPECT_EQ(std::pair(loader.m_width, loader.m_height), std::pair(3u, 2u));
        EXPECT_EQ(loader.m_pixels, kPattern3x2) << file << " " << width << " x " << height;
    }
    // Files longer than the chunks their readers read ahead.
    for (const wchar_t* file : {L"noise_128x96.png", L"noise_128x96.bmp", L"noise_128x96.jpg", kGif}) {
        ASSERT_TRUE(load(loader, file)) << file;
        EXPECT_EQ(loader.m_pixels.size(), 128u * 96u * 3u);
    }
    for (auto [width, height, expected] : {std::tuple{0u, 0u, std::pair(64u, 48u)}, {32u, 21u, {32u, 21u}}}) {
        ASSERT_TRUE(load(loader, L"solid.jpg", width, height));
        EXPECT_EQ(std::pair(loader.m_width, loader.m_height), expected);
        EXPECT_EQ(loader.m_pixels.size(), expected.first * expected.second * 3u);
        EXPECT_TRUE(allPixelsNear(loader.m_pixels, {0xC0, 0x60, 0x30}));
    }
    if (!kWine) {  // a GIF's first frame
        ASSERT_TRUE(load(loader, L"red_then_blue.gif"));
        EXPECT_EQ(loader.m_pixels.size(), 8u * 8u * 3u);
        EXPECT_TRUE(allPixelsNear(loader.m_pixels, {0, 0, 255}));
    }
}

TEST(ImageLoader, BadFilesFailAndLeaveNoPictureBehind)
{
    ImageLoader loader;
    EXPECT_FALSE(load(loader, L"pattern_3x2.png"));  // not initialised
    ASSERT_TRUE(loader.Initialize() && loader.Initialize());
    // A PNG signature followed by a header chunk cut short.
    std::ofstream(ORVENNA_TEST_MEDIA_DIR "/cut_header.png", std::ios::binary)
        << std::string("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR\0\0", 19);
    // Missing, damaged, cut and too wide files; a target width beyond the bound.
    for (auto [file, width] : {std::pair{L"missing.png", 0u}, {L"not_media.mp4", 0u}, {L"cut_header.png", 0u},
                               {L"cut_128x96.png", 0u}, {L"cut_128x96.bmp", 0u}, {L"cut_128x96.jpg", 0u}, {kCutGif, 0u},
                               {L"wide.png", 0u}, {L"pattern_3x2.png", unsigned(kMaxFrameSide) + 1}}) {
        ASSERT_TRUE(load(loader, L"pattern_3x2.bmp"));
        EXPECT_FALSE(load(loader, file, width, 2)) << file << " " << width;
        EXPECT_TRUE(loader.m_pixels.empty() && loader.m_width == 0 && loader.m_height == 0);
    }
    ASSERT_TRUE(load(loader, L"pattern_3x2.png"));
    loader.Release();
    EXPECT_TRUE(loader.m_pixels.empty() && loader.m_width == 0 && loader.m_height == 0);
}

// A stop heard during the load (at its second question) ends it with nothing;
// a check that never fires changes nothing.
TEST(ImageLoader, AStopEndsTheLoadUnderWay)
{
    ImageLoader loader;
    ASSERT_TRUE(loader.Initialize());
    for (const int stopAt : {0, 2}) {
        int asked = 0;
        loader.SetInterruptCheck([&] { return ++asked >= stopAt && stopAt > 0; });
        EXPECT_EQ(load(loader, L"noise_128x96.png"), stopAt == 0) << stopAt;
        EXPECT_EQ(loader.m_pixels.size(), stopAt == 0 ? 128u * 96u * 3u : 0u);
        EXPECT_GE(asked, 2);
    }
}

} // namespace
