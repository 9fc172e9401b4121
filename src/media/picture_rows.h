#pragma once

#include "media/picture.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

// One thread's reading of a picture's rows: each row is converted at most
// once per picture (two at a time, the way the converters work best) and
// kept until the next picture, so that several samplings of one picture
// share their rows. Not thread-safe: one per reading thread.
class PictureRows {
public:
    // Starts reading `picture` (null: none); the rows of the one before are
    // forgotten.
    void setPicture(std::shared_ptr<const Picture> picture);
    const std::shared_ptr<const Picture>& picture() const { return m_picture; }

    // Makes the listed rows readable: ascending, each below the picture's
    // height. False when the picture's rows cannot be converted.
    bool prepare(const int* rows, std::size_t count);
    // Every row, in one go where the picture allows.
    bool prepareAll();
    // Whether row y is converted already (a Frame's rows need no conversion).
    bool converted(int y) const { return m_picture->frame() || m_inStore[static_cast<std::size_t>(y)]; }
    // Bytes a pixel of row() takes: 3 in a Frame, else
    // Picture::kConvertedPixelBytes.
    int pixelBytes() const { return m_picture->frame() ? 3 : Picture::kConvertedPixelBytes; }
    // A prepared row: width * pixelBytes() bytes, after which one more byte
    // may be read. Valid until the next setPicture.
    const uint8_t* row(int y) const
    {
        return m_inStore[static_cast<std::size_t>(y)] ? m_store.get() + static_cast<std::size_t>(y) * m_storeRowBytes
                                                      : m_picture->frame() + static_cast<std::size_t>(y) * m_frameRowBytes;
    }

private:
    // Converts the rows in m_missing (ascending, none in the store yet).
    bool convertMissing();

    std::shared_ptr<const Picture> m_picture;
    std::size_t m_frameRowBytes = 0;  // of a picture held as a Frame
    std::size_t m_storeRowBytes = 0;
    // Converted rows, each in its own place: pages of rows never converted
    // are never touched, so they take no memory.
    std::unique_ptr<uint8_t[]> m_store;
    std::size_t m_storeBytes = 0;
    std::vector<uint8_t> m_inStore;  // per row: converted into the store
    std::vector<int> m_missing;      // prepare's rows still to convert
    std::unique_ptr<Picture::Converter> m_converter;
};

// The whole of `picture` as one Frame in `out` (resized to width * height * 3
// bytes). False when its rows cannot be converted.
bool readFrame(const std::shared_ptr<const Picture>& picture, std::vector<uint8_t>& out);
