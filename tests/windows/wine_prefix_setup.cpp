// Run once in the tests' Wine prefix: Wine 8's source reader ignores
// MF_SOURCE_READER_ENABLE_VIDEO_PROCESSING and looks for a way to RGB32 among
// the decoders only; listing Wine's own video processor there stands in for
// what Windows does. The registry keeps it for every later program.
#include <mfapi.h>
#include <mftransform.h>

#include <cstdio>
#include <iterator>

namespace {

// Wine's video processor transform (the mingw headers do not name it).
const CLSID kWineVideoProcessor = {0x88753b26, 0x5b24, 0x49bd, {0xb2, 0xe7, 0x0c, 0x44, 0x5c, 0x78, 0xc9, 0x82}};

} // namespace

int main()
{
    MFT_REGISTER_TYPE_INFO inputTypes[] = {{MFMediaType_Video, MFVideoFormat_I420}, {MFMediaType_Video, MFVideoFormat_NV12},
        {MFMediaType_Video, MFVideoFormat_YV12}, {MFMediaType_Video, MFVideoFormat_YUY2}, {MFMediaType_Video, MFVideoFormat_IYUV}};
    MFT_REGISTER_TYPE_INFO outputType = {MFMediaType_Video, MFVideoFormat_RGB32};
    wchar_t name[] = L"Video processor (RGB32 for the source reader)";
    if (FAILED(MFTRegister(kWineVideoProcessor, MFT_CATEGORY_VIDEO_DECODER, name, 0, UINT32(std::size(inputTypes)),
                           inputTypes, 1, &outputType, nullptr)))
        return std::fputs("could not list the video processor among the decoders\n", stderr), 1;
    return 0;
}
