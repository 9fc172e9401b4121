#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

// A picture read as rows of blue, green, red bytes. A picture held as a Frame
// (see frame.h) is read as it lies; a video picture keeps the decoder's own
// planes and converts the rows a reader asks for, so that a reader that
// samples a few rows pays for those only. Converted rows take 4 bytes a pixel
// (blue, green, red, one byte unused): swscale makes those faster than 3, with
// the same colour bytes.
// Immutable once made: one picture may be read by several threads at once,
// each through a PictureRows of its own.
class Picture {
public:
    // A reader's conversion state (a scaler, say), made by the kind of
    // picture that needs one and kept by the reader from picture to picture.
    class Converter {
    public:
        virtual ~Converter() = default;
    };

    static constexpr int kConvertedPixelBytes = 4;
    // Bytes a converted row may take in a reader's buffer: swscale's SIMD
    // code writes whole groups of 8 pixels.
    static std::size_t paddedRowBytes(int width)
    {
        return (static_cast<std::size_t>(width) + 7) / 8 * 8 * kConvertedPixelBytes;
    }

    Picture(int width, int height) : m_width(width), m_height(height) {}
    virtual ~Picture() = default;
    Picture(const Picture&) = delete;
    Picture& operator=(const Picture&) = delete;

    int width() const { return m_width; }
    int height() const { return m_height; }

    // The whole picture as one Frame when it is held as one, else null.
    virtual const uint8_t* frame() const { return nullptr; }
    // Converts rows `first` < `second` into converted rows at `out` and at
    // `out + stride` (stride at least paddedRowBytes(width)); a picture held
    // as a Frame needs no conversion and is never asked. `converter` is the
    // reader's, replaced here when it is missing or of another kind. False
    // when the rows cannot be converted.
    virtual bool convertRows(int /*first*/, int /*second*/, uint8_t* /*out*/, std::ptrdiff_t /*stride*/,
                             std::unique_ptr<Converter>& /*converter*/) const
    {
        return false;
    }

    // Converts the whole picture into converted rows `stride` bytes apart from
    // `out` (stride at least paddedRowBytes(width)), in one go where the
    // picture kind can; false when it cannot, and the reader goes by pairs.
    virtual bool convertAll(uint8_t* /*out*/, std::ptrdiff_t /*stride*/,
                            std::unique_ptr<Converter>& /*converter*/) const
    {
        return false;
    }

private:
    int m_width;
    int m_height;
};

// A Frame held as a picture.
class FramePicture : public Picture {
public:
    // `pixels` holds width * height * 3 bytes, a valid Frame size (frame.h).
    FramePicture(std::vector<uint8_t> pixels, int width, int height)
        : Picture(width, height), m_pixels(std::move(pixels))
    {
    }
    const uint8_t* frame() const override { return m_pixels.data(); }

private:
    std::vector<uint8_t> m_pixels;
};
