#pragma once

#include <cstdint>

// Reading a decoder's locked 32-bit RGB buffer (4 bytes a pixel: blue, green,
// red, unused) into a Frame. Pure functions, no platform calls.

// Row pitch of a locked buffer of `length` bytes holding `height` rows of
// `width` pixels whose media type reported `stride` (either sign). Products
// are taken in unsigned 32-bit arithmetic. Decoders do not always pad rows
// the way their media type says, so the buffer's own length has the last word.
uint32_t rgb32RowPitch(uint32_t width, uint32_t height, int32_t stride, uint32_t length);

// Copies width x height pixels, rows `pitch` bytes apart in buffer order, to
// `frame` (width * height * 3 bytes, see frame.h), dropping the fourth byte.
// Never reads at or beyond src + length: pixels whose 4 bytes do not lie
// wholly inside the buffer are left black.
void copyRgb32ToFrame(const uint8_t* src, uint32_t length, uint32_t pitch,
                      uint32_t width, uint32_t height, uint8_t* frame);
