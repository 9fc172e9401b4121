#pragma once

#include "media/picture.h"

#include <memory>

struct AVFrame;
struct SwsContext;

// The colour space and range a decoded picture states, as numbers: a file may
// put any number there, also outside FFmpeg's enums.
struct FrameColours {
    int space;
    int range;
    bool operator==(const FrameColours&) const = default;
};
FrameColours coloursOf(const AVFrame& frame);

// Gives a scaler the decoded picture's colours: its matrix (the scaler's
// default when the stream names none) and its range, converted to full range.
// Every conversion of decoded pictures goes through here, so that all of them
// give the same bytes.
void setSourceColours(SwsContext* scaler, const FrameColours& colours);

// A decoded picture kept in its YUV planes (4:2:0 or 4:2:2, either range),
// whose rows swscale's unscaled converters convert two at a time (4 bytes a
// pixel, see picture.h). Takes `frame`'s reference, leaving it blank; null, with `frame`
// untouched, for a frame of another format or of fewer than two rows.
std::shared_ptr<const Picture> takePlanarPicture(AVFrame& frame);
