#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

// A Frame is one picture of width x height pixels, 3 bytes a pixel in the
// order blue, green, red, rows back to back (stride width * 3), row 0 at the
// top. It lives in a std::vector<uint8_t>; width and height travel beside it.

// Largest picture side accepted anywhere in the program. With it every size
// product of a Frame (width * height * 3) stays far below 2^31.
inline constexpr int kMaxFrameSide = 16384;

// Number of bytes of a width x height Frame, or nullopt when either side is
// below 1 or above kMaxFrameSide. Callers check this before allocating.
constexpr std::optional<std::size_t> frameBytes(long long width, long long height)
{
    if (width < 1 || height < 1 || width > kMaxFrameSide || height > kMaxFrameSide)
        return std::nullopt;
    return static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3;
}
