#include "media/wide_path_linux.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace {

TEST(WidePathLinux, EncodesEveryLengthAndRejectsNonCharacters)
{
    const wchar_t loneSurrogate[] = {L'a', wchar_t(0xD800), 0}, beyondUnicode[] = {wchar_t(0x110000), 0};
    const struct {
        const wchar_t* wide;
        std::optional<std::string> utf8;
    } cases[] = {
        {L"", ""},
        {L"/tmp/my clip.mp4", "/tmp/my clip.mp4"},
        {L"/\u00e9t\u00e9/\u00f1", "/\xc3\xa9t\xc3\xa9/\xc3\xb1"},  // two bytes
        {L"\u20ac\uffff", "\xe2\x82\xac\xef\xbf\xbf"},               // three bytes
        {L"\U0001F600\U0010FFFF", "\xf0\x9f\x98\x80\xf4\x8f\xbf\xbf"},  // four bytes
        {L"\u007f\u0080\u07ff\u0800", "\x7f\xc2\x80\xdf\xbf\xe0\xa0\x80"},  // boundaries
        {loneSurrogate, std::nullopt}, {beyondUnicode, std::nullopt}, {nullptr, std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(utf8FromWide(c.wide), c.utf8) << "case " << (&c - cases);
}

}  // namespace
