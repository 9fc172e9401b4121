#include "camera/frame_fitter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

namespace {

using Frame = std::vector<uint8_t>;

// A source whose every pixel differs from its neighbours.
Frame pattern(int width, int height)
{
    Frame frame(static_cast<size_t>(width) * height * 3);
    for (size_t i = 0; i < frame.size(); ++i)
        frame[i] = static_cast<uint8_t>(i * 7 + i / 3 + 1);
    return frame;
}

// The fitting rules applied pixel by pixel, straight from their definition:
// letterbox sizes truncated, a picture too thin to show leaves all black.
Frame reference(const Frame& source, int sw, int sh, int cw, int ch, bool stretch, bool mirror)
{
    int ox = 0, oy = 0, dw = cw, dh = ch;
    if (!stretch && (sw != cw || sh != ch)) {
        const float a = static_cast<float>(sw) / static_cast<float>(sh);
        if (a > static_cast<float>(cw) / static_cast<float>(ch)) {
            dh = static_cast<int>(cw / a);
            oy = (ch - dh) / 2;
        } else {
            dw = static_cast<int>(ch * a);
            ox = (cw - dw) / 2;
        }
    }
    Frame fitted(static_cast<size_t>(cw) * ch * 3, 0);
    for (int y = oy; y < oy + dh; ++y) {
        for (int x = ox; x < ox + dw; ++x) {
            const size_t from = (static_cast<size_t>((y - oy) * sh / dh) * sw + (x - ox) * sw / dw) * 3;
            const size_t to = (static_cast<size_t>(y) * cw + (mirror ? cw - 1 - x : x)) * 3;
            std::copy_n(&source[from], 3, &fitted[to]);
        }
    }
    return fitted;
}

} // namespace

TEST(FrameFitter, NoFrameOrAnUnfittableSizeGivesNull)
{
    FrameFitter fitter;
    const Frame source = pattern(2, 2);
    EXPECT_EQ(fitter.fit(nullptr, 2, 2, 4, 4, false, false), nullptr);
    EXPECT_EQ(fitter.fit(source.data(), 0, 2, 4, 4, false, false), nullptr);
    EXPECT_EQ(fitter.fit(source.data(), 2, 2, -4, 4, false, false), nullptr);
    EXPECT_EQ(fitter.fit(source.data(), 2, 2, 4, 100000, false, false), nullptr);
}

TEST(FrameFitter, GatherMatchesTheDirectFormulas)
{
    const struct {
        int sw, sh, cw, ch;
    } sizes[] = {
        {1280, 720, 640, 480}, {720, 480, 640, 480}, {1080, 1920, 128, 72}, {640, 480, 320, 240},
        {320, 240, 640, 480},  {1, 1, 7, 5},         {1, 9, 8, 8},          {9, 1, 8, 8},
        {3, 7, 11, 13},        {13, 11, 7, 3},       {17, 17, 16, 16},      {16, 16, 17, 17},
        {5, 3, 5, 4},          {5, 3, 6, 3},         {101, 57, 64, 36},     {64, 36, 101, 57},
        {2, 1000, 50, 1},      {1000, 2, 1, 50},     {33, 10, 1, 1},        {6, 4, 6, 4},
        {160, 120, 1280, 720}, {1, 600, 640, 480},   {2, 1080, 640, 480},   {600, 1, 480, 640},  // too thin: black
    };
    FrameFitter fitter;  // one fitter for all, as geometry changes come and go
    for (const auto& s : sizes) {
        const Frame source = pattern(s.sw, s.sh);
        for (const int flags : {0, 1, 2, 3}) {
            const bool stretch = flags & 1, mirror = flags & 2;
            SCOPED_TRACE(testing::Message() << s.sw << "x" << s.sh << " -> " << s.cw << "x" << s.ch << " stretch "
                                            << stretch << " mirror " << mirror);
            const Frame expected = reference(source, s.sw, s.sh, s.cw, s.ch, stretch, mirror);
            // A fresh fitter has no old capacity to hide a write past its tables.
            FrameFitter fresh;
            const uint8_t* out = fresh.fit(source.data(), s.sw, s.sh, s.cw, s.ch, stretch, mirror);
            ASSERT_NE(out, nullptr);
            ASSERT_EQ(Frame(out, out + expected.size()), expected);
            // The same size unmirrored is sent as it is, without a copy.
            EXPECT_EQ(out == source.data(), s.sw == s.cw && s.sh == s.ch && !mirror);
            // Twice on the shared one: the second frame reuses the tables and bars of the first.
            fitter.fit(source.data(), s.sw, s.sh, s.cw, s.ch, stretch, mirror);
            out = fitter.fit(source.data(), s.sw, s.sh, s.cw, s.ch, stretch, mirror);
            ASSERT_EQ(Frame(out, out + expected.size()), expected);
        }
    }
}
