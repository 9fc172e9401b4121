#pragma once

#include <cstdint>

// Turning Frames (see frame.h) by quarter turns, for clips that are stored
// sideways or upside down with a note saying how to show them (phone videos).
// Pure functions, no platform calls.

// The clockwise turn (0, 90, 180 or 270) nearest to `degrees`, which may be
// any angle, negative or beyond a full turn; 0 for an angle that is not finite.
int quarterTurn(double clockwiseDegrees);

// Copies a width x height Frame into `dst` turned clockwise by `degrees`
// (90, 180 or 270). `dst` holds width * height * 3 bytes; after a 90 or 270
// degree turn it is `height` pixels wide and `width` high.
void turnPicture(const uint8_t* src, int width, int height, int degrees, uint8_t* dst);
