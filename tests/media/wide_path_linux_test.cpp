#include "media/wide_path_linux.h"

#include "media/video_decoder.h"
#include "support/frame_marks.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

struct WideCase {
    const wchar_t* wide;
    std::optional<std::string> utf8;
};

TEST(WidePathLinux, EncodesEveryLengthAndRejectsNonCharacters)
{
    const wchar_t loneSurrogate[] = {L'a', static_cast<wchar_t>(0xD800), 0};
    const wchar_t beyondUnicode[] = {static_cast<wchar_t>(0x110000), 0};
    const WideCase cases[] = {
        {L"", ""},
        {L"/tmp/my clip.mp4", "/tmp/my clip.mp4"},
        {L"/\u00e9t\u00e9/\u00f1", "/\xc3\xa9t\xc3\xa9/\xc3\xb1"},  // two bytes
        {L"\u20ac\uffff", "\xe2\x82\xac\xef\xbf\xbf"},               // three bytes
        {L"\U0001F600\U0010FFFF", "\xf0\x9f\x98\x80\xf4\x8f\xbf\xbf"},  // four bytes
        {L"\u007f\u0080\u07ff\u0800", "\x7f\xc2\x80\xdf\xbf\xe0\xa0\x80"},  // boundaries
        {loneSurrogate, std::nullopt},
        {beyondUnicode, std::nullopt},
        {nullptr, std::nullopt},
    };
    for (const WideCase& c : cases)
        EXPECT_EQ(utf8FromWide(c.wide), c.utf8) << "case " << (&c - cases);
}

// Spaces, letters outside ASCII and a colon (which FFmpeg would otherwise
// take for a protocol name) in the file name.
TEST(VideoDecoder, OpensNonAsciiPath)
{
    namespace fs = std::filesystem;
    const fs::path dir = fs::path(testing::TempDir()) / "orvenna decoder \xc3\xa9t\xc3\xa9";
    fs::create_directories(dir);
    const fs::path copy = dir / "clip: vid\xc3\xa9o \xc3\xb1 \xe6\x97\xa5\xe6\x9c\xac.mp4";
    fs::copy_file(fs::path(ORVENNA_TEST_MEDIA_DIR) / "bars_25.mp4", copy,
                  fs::copy_options::overwrite_existing);

    const std::string parent = dir.parent_path().string();
    const std::wstring wide = std::wstring(parent.begin(), parent.end()) +
                              L"/orvenna decoder \u00e9t\u00e9/clip: vid\u00e9o \u00f1 \u65e5\u672c.mp4";
    VideoDecoder decoder;
    const bool opened = decoder.Open(wide.c_str());
    std::vector<uint8_t> frame;
    const bool read = opened && decoder.ReadFrame(frame);
    fs::remove_all(dir);
    ASSERT_TRUE(opened);
    ASSERT_TRUE(read);
    EXPECT_EQ(frame_marks::readFrameMark(frame.data(), 160, 120), 0);
}

}  // namespace
