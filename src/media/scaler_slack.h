#pragma once

#include <cstddef>

// swscale's SIMD code may read and write a few pixels past the last row (up
// to 15 seen); buffers it reads or writes get this much room beyond it.
constexpr std::size_t kScalerSlack = 64 * 3;
