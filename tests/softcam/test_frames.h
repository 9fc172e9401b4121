#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <vector>

// A BGR frame of four flat quadrants in known colours.
std::vector<uint8_t> quadrantFrame(int width, int height);

// Bytes of one tightly packed frame in a GStreamer format name (BGR, BGRx,
// RGBx, YUY2, I420, NV12).
qsizetype packedFrameBytes(const QString& format, int width, int height);

// Decodes a tightly packed BGR, YUY2, I420 or NV12 frame to BGR (BT.601,
// limited range, as the consumers assume for these sizes).
std::vector<uint8_t> decodeToBgr(const QString& format, int width, int height, const QByteArray& data);

// Largest per-channel difference between two BGR frames, ignoring pixels
// within `margin` of a quadrant edge (chroma subsampling blurs those).
int largestDifference(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b, int width,
                      int height, int margin);
