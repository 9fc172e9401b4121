// ImageLoader on any bytes, at the natural size and at a target size taken
// from the input's length. A picture loaded has exactly the size it reports.
#include "input_file.h"
#include "media/image_loader.h"

#include <cstdlib>

namespace {

void expectWhole(const ImageLoader& loader)
{
    if (loader.m_pixels.size() != std::size_t{loader.m_width} * loader.m_height * 3)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    static InputFile input;
    static ImageLoader loader;
    static const bool ready = loader.Initialize();
    if (!ready)
        std::abort();
    const std::wstring path = input.write(data, size);
    if (loader.LoadImageW(path.c_str(), 0, 0))
        expectWhole(loader);
    const unsigned width = 1 + size % 97;
    const unsigned height = 1 + size % 53;
    if (loader.LoadImageW(path.c_str(), width, height)) {
        expectWhole(loader);
        if (loader.m_width != width || loader.m_height != height)
            std::abort();
    }
    return 0;
}
