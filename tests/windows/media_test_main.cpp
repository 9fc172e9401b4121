// Entry of the media tests: the platform services are started and stopped
// around the tests as the application does it.
#include "app/platform_services.h"
#include "under_wine.h"

#include <gtest/gtest.h>

#include <mfapi.h>
#include <mftransform.h>

namespace {

// Wine's video processor transform (the mingw headers do not name it).
const CLSID kWineVideoProcessor = {0x88753b26, 0x5b24, 0x49bd, {0xb2, 0xe7, 0x0c, 0x44, 0x5c, 0x78, 0xc9, 0x82}};

// Wine 8's source reader ignores MF_SOURCE_READER_ENABLE_VIDEO_PROCESSING and
// looks for a way to RGB32 among the decoders only: listing Wine's own video
// processor there (in the throw-away prefix) stands in for what Windows does.
void listVideoProcessorAsDecoder()
{
    MFT_REGISTER_TYPE_INFO inputTypes[] = {{MFMediaType_Video, MFVideoFormat_I420}, {MFMediaType_Video, MFVideoFormat_NV12},
        {MFMediaType_Video, MFVideoFormat_YV12}, {MFMediaType_Video, MFVideoFormat_YUY2}, {MFMediaType_Video, MFVideoFormat_IYUV}};
    MFT_REGISTER_TYPE_INFO outputType = {MFMediaType_Video, MFVideoFormat_RGB32};
    wchar_t name[] = L"Video processor (RGB32 for the source reader)";
    ASSERT_HRESULT_SUCCEEDED(MFTRegister(kWineVideoProcessor, MFT_CATEGORY_VIDEO_DECODER, name, 0,
                                         UINT32(std::size(inputTypes)), inputTypes, 1, &outputType, nullptr));
}

class MediaFoundationEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        ASSERT_TRUE(startPlatformServices());
        if (underWine())
            listVideoProcessorAsDecoder();
    }
    void TearDown() override { stopPlatformServices(); }
};

} // namespace

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::AddGlobalTestEnvironment(new MediaFoundationEnvironment);
    return RUN_ALL_TESTS();
}
