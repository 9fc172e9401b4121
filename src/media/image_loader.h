#pragma once

#include <cstdint>
#include <functional>
#include <vector>

// Turns a still-image file into one Frame (see frame.h): the first frame of
// the file, at its natural size or scaled (bicubic) to a target size. One
// thread at a time uses a loader; on a thread of the program's own, a
// MediaThreadScope (media_thread.h) comes first.
//
// Invariant: after a successful LoadImageW, m_pixels holds exactly
// m_width * m_height * 3 bytes; after a failed one it is empty and the size
// is 0 x 0, so a failed load never leaves an older picture behind.
class ImageLoader {
public:
    ImageLoader();
    ~ImageLoader();
    ImageLoader(const ImageLoader&) = delete;
    ImageLoader& operator=(const ImageLoader&) = delete;

    // Prepares the platform's image decoder once; true when it is ready.
    bool Initialize();
    // Forgets the picture (keeping the buffer's capacity); stays initialised.
    void Release()
    {
        m_pixels.clear();
        m_width = 0;
        m_height = 0;
    }
    // Decodes `path`. A target of 0 in either dimension means the natural
    // size in both.
    bool LoadImageW(const wchar_t* path, unsigned targetWidth, unsigned targetHeight);
    // Loads give up, false and empty, as soon as `stopRequested` returns
    // true: asked on the loading thread between reads of the file or bands
    // of the picture and between the steps of a load. An empty function never
    // stops anything.
    void SetInterruptCheck(std::function<bool()> stopRequested) { m_stopRequested = std::move(stopRequested); }

    std::vector<uint8_t> m_pixels;
    uint32_t m_width = 0;
    uint32_t m_height = 0;

private:
    bool stopRequested() const { return m_stopRequested && m_stopRequested(); }

    std::function<bool()> m_stopRequested;
    // Windows: the imaging factory, owned. Linux, where Qt's readers need no
    // factory: any non-null value marks the loader initialised.
    void* m_factory = nullptr;
};
