#pragma once

#include <optional>
#include <string>

// Paths cross the media and camera interfaces as wchar_t strings, which are
// UTF-32 on Linux; the Linux libraries take UTF-8. Returns nullopt for a null
// path and for one holding a value that is no Unicode scalar value (a
// surrogate, or above U+10FFFF).
std::optional<std::string> utf8FromWide(const wchar_t* path);
