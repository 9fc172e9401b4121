// Entry of the media tests: platform services started and stopped as the application does.
#include "app/platform_services.h"
#include "support/test_media.h"

#include <gtest/gtest.h>

#include <mfapi.h>
#include <mftransform.h>

#include <cstdio>

namespace {

// Wine's video processor transform (the mingw headers do not name it).
const CLSID kWineVideoProcessor = {0x88753b26, 0x5b24, 0x49bd, {0xb2, 0xe7, 0x0c, 0x44, 0x5c, 0x78, 0xc9, 0x82}};

// Wine 8's source reader ignores MF_SOURCE_READER_ENABLE_VIDEO_PROCESSING and
// looks for a way to RGB32 among the decoders only: listing Wine's own video
// processor there (in the throw-away prefix) stands in for what Windows does.
bool listVideoProcessorAsDecoder()
{
    MFT_REGISTER_TYPE_INFO inputTypes[] = {{MFMediaType_Video, MFVideoFormat_I420}, {MFMediaType_Video, MFVideoFormat_NV12},
        {MFMediaType_Video, MFVideoFormat_YV12}, {MFMediaType_Video, MFVideoFormat_YUY2}, {MFMediaType_Video, MFVideoFormat_IYUV}};
    MFT_REGISTER_TYPE_INFO outputType = {MFMediaType_Video, MFVideoFormat_RGB32};
    wchar_t name[] = L"Video processor (RGB32 for the source reader)";
    return SUCCEEDED(MFTRegister(kWineVideoProcessor, MFT_CATEGORY_VIDEO_DECODER, name, 0,
                                 UINT32(std::size(inputTypes)), inputTypes, 1, &outputType, nullptr));
}

} // namespace

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    if (!startPlatformServices() || (kWine && !listVideoProcessorAsDecoder()))
        return std::fputs("the platform services did not start\n", stderr), 1;
    const int result = RUN_ALL_TESTS();
    stopPlatformServices();
    return result;
}
