#include "media/wide_path_linux.h"

static_assert(sizeof(wchar_t) == 4, "the Linux layer expects UTF-32 wide strings");

std::optional<std::string> utf8FromWide(const wchar_t* path)
{
    if (path == nullptr)
        return std::nullopt;
    std::string utf8;
    for (const wchar_t* p = path; *p != L'\0'; ++p) {
        const auto c = static_cast<char32_t>(*p);
        if (c < 0x80) {
            utf8 += static_cast<char>(c);
        } else if (c < 0x800) {
            utf8 += static_cast<char>(0xC0 | (c >> 6));
            utf8 += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            if (c >= 0xD800 && c <= 0xDFFF)
                return std::nullopt;
            utf8 += static_cast<char>(0xE0 | (c >> 12));
            utf8 += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            utf8 += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c <= 0x10FFFF) {
            utf8 += static_cast<char>(0xF0 | (c >> 18));
            utf8 += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            utf8 += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            utf8 += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            return std::nullopt;
        }
    }
    return utf8;
}
