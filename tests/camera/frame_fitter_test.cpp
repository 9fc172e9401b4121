#include "camera/frame_fitter.h"

#include "media/video_decoder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

namespace {

using Frame = std::vector<uint8_t>;

// A Frame as the fitter reads it.
PictureRows rowsOf(const Frame& frame, int width, int height)
{
    PictureRows rows;
    rows.setPicture(std::make_shared<FramePicture>(frame, width, height));
    return rows;
}

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

TEST(FrameFitter, NoPictureOrAnUnfittableSizeGivesNull)
{
    FrameFitter fitter;
    PictureRows none;
    EXPECT_EQ(fitter.fit(none, 4, 4, false, false), nullptr);
    PictureRows source = rowsOf(pattern(2, 2), 2, 2);
    EXPECT_EQ(fitter.fit(source, -4, 4, false, false), nullptr);
    EXPECT_EQ(fitter.fit(source, 4, 100000, false, false), nullptr);
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
        PictureRows rows = rowsOf(source, s.sw, s.sh);
        for (const int flags : {0, 1, 2, 3}) {
            const bool stretch = flags & 1, mirror = flags & 2;
            SCOPED_TRACE(testing::Message() << s.sw << "x" << s.sh << " -> " << s.cw << "x" << s.ch << " stretch "
                                            << stretch << " mirror " << mirror);
            const Frame expected = reference(source, s.sw, s.sh, s.cw, s.ch, stretch, mirror);
            // A fresh fitter has no old capacity to hide a write past its tables.
            FrameFitter fresh;
            const uint8_t* out = fresh.fit(rows, s.cw, s.ch, stretch, mirror);
            ASSERT_NE(out, nullptr);
            ASSERT_EQ(Frame(out, out + expected.size()), expected);
            // The same size unmirrored is sent as it is, without a copy.
            EXPECT_EQ(out == rows.picture()->frame(), s.sw == s.cw && s.sh == s.ch && !mirror);
            // Twice on the shared one: the second frame reuses the tables of the first.
            fitter.fit(rows, s.cw, s.ch, stretch, mirror);
            out = fitter.fit(rows, s.cw, s.ch, stretch, mirror);
            ASSERT_EQ(Frame(out, out + expected.size()), expected);
            // Into a place that held something else (a camera's buffer): every byte is written.
            Frame place(expected.size(), 0xab);
            ASSERT_TRUE(fitter.fitInto(rows, place.data(), s.cw, s.ch, stretch, mirror));
            ASSERT_EQ(place, expected);
        }
    }
}

// Decoded pictures stay in their planes and only the rows a camera frame shows
// are converted. What the camera gets may differ from converting the whole
// picture first by 1 in a channel at most: 4:2:0 and 4:2:2 with a width that
// is no multiple of 8, full-range 4:2:0 with odd sides.
TEST(FrameFitter, PicturesKeptInTheirPlanesFitAsPicturesConvertedFirst)
{
#ifdef _WIN32
    GTEST_SKIP() << "Media Foundation delivers whole Frames: nothing is left to convert";
#endif
    const struct { int cw, ch; } cameras[] = {{170, 98}, {171, 97}, {64, 48}, {1280, 720}, {101, 57}, {60, 200}};
    for (const char* clip : {"detail_420.mp4", "detail_422.mp4", "detail_odd.avi"}) {
        const std::string path = std::string(ORVENNA_TEST_MEDIA_DIR "/") + clip;
        const std::wstring wide(path.begin(), path.end());
        VideoDecoder planar, whole;
        ASSERT_TRUE(planar.Open(wide.c_str()) && whole.Open(wide.c_str())) << clip;
        for (int frame = 0; frame < 3; ++frame) {
            PictureRows kept, converted;
            kept.setPicture(planar.ReadPicture());
            Frame first;
            ASSERT_TRUE(kept.picture() && whole.ReadFrame(first)) << clip;
            ASSERT_EQ(kept.picture()->frame(), nullptr) << clip << " is kept in its planes";
            const int sw = kept.picture()->width(), sh = kept.picture()->height();
            converted.setPicture(std::make_shared<FramePicture>(first, sw, sh));
            for (const auto& camera : cameras) {
                for (const int flags : {0, 1, 2, 3}) {
                    SCOPED_TRACE(testing::Message() << clip << " frame " << frame << " -> " << camera.cw << "x"
                                                    << camera.ch << " flags " << flags);
                    FrameFitter fromPlanes, fromFrame;
                    const uint8_t* a = fromPlanes.fit(kept, camera.cw, camera.ch, flags & 1, flags & 2);
                    const uint8_t* b = fromFrame.fit(converted, camera.cw, camera.ch, flags & 1, flags & 2);
                    ASSERT_TRUE(a && b);
                    int largest = 0;
                    for (size_t i = 0; i < size_t(camera.cw) * camera.ch * 3; ++i)
                        largest = std::max(largest, std::abs(a[i] - b[i]));
                    EXPECT_LE(largest, 1);
                }
            }
        }
    }
}

namespace {

// A picture to be converted whose pixels name their row; counts the rows it
// converts.
class RowNamingPicture : public Picture {
public:
    using Picture::Picture;
    mutable int converted = 0;

    bool convertRows(int first, int second, uint8_t* out, std::ptrdiff_t stride,
                     std::unique_ptr<Converter>&) const override
    {
        for (const int y : {first, second}) {
            uint8_t* row = out + (y == first ? 0 : stride);
            for (int x = 0; x < width(); ++x)
                std::copy_n(std::data({uint8_t(y), uint8_t(y >> 8), uint8_t(0xee), uint8_t(0)}), 4, row + x * 4);
            ++converted;
        }
        return true;
    }
};

} // namespace

// A preview sampled after the camera frame was fitted converts no rows of
// its own: each of its rows shows a converted row of the source rows it
// stands for. Sampled alone, or enlarged, it shows the nearest rows exactly.
TEST(FrameFitter, PreviewShowsRowsTheCameraConverted)
{
    const int sw = 1920, sh = 1080;
    for (const auto& [dw, dh, cameraFirst] : {std::tuple{800, 450, true}, {800, 450, false}, {1000, 1500, true}}) {
        SCOPED_TRACE(testing::Message() << dw << "x" << dh << (cameraFirst ? " after the camera" : " alone"));
        auto picture = std::make_shared<RowNamingPicture>(sw, sh);
        PictureRows rows;
        rows.setPicture(picture);
        FrameFitter fitter;
        if (cameraFirst) {
            ASSERT_TRUE(fitter.fit(rows, 1280, 720, false, false));
        }
        const int before = picture->converted;
        NearestSampler preview;
        preview.setGeometry(sw, sh, dw, dh, true, rows.pixelBytes());
        std::vector<uint32_t> image(size_t(dw) * dh);
        ASSERT_TRUE(preview.sampleRgb32(rows, reinterpret_cast<uint8_t*>(image.data()), size_t(dw) * 4));
        const bool smaller = dh < sh;
        if (cameraFirst && smaller) {
            EXPECT_EQ(picture->converted, before);
        }
        for (int y = 0; y < dh; ++y) {
            const uint32_t pixel = image[size_t(y) * dw + dw / 2];
            ASSERT_EQ(pixel >> 16, 0xffeeu);
            const int shown = int(pixel & 0xffff);
            if (cameraFirst && smaller) {
                ASSERT_TRUE(shown >= y * sh / dh && shown < (y + 1) * sh / dh && shown % 3 != 2) << y;
            } else {
                ASSERT_EQ(shown, y * sh / dh) << y;
            }
        }
    }
}
