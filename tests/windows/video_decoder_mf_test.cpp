// The Media Foundation layer's own case; tests/media/video_decoder_test.cpp is built in too.
#include "media/video_decoder.h"

#include "support/frame_marks.h"
#include "support/test_media.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

TEST(VideoDecoder, OpensPathsWithSpacesAndAccents)
{
    wchar_t temp[MAX_PATH] = {};
    ASSERT_GT(GetTempPathW(MAX_PATH, temp), 0u);
    const std::wstring copy = temp + (L"clip d'été ü " + std::to_wstring(GetCurrentProcessId()) + L".mkv");
    ASSERT_TRUE(CopyFileW(testMediaPath(L"bars_25.mkv").c_str(), copy.c_str(), FALSE));
    {
        VideoDecoder decoder;
        std::vector<uint8_t> frame;
        EXPECT_TRUE(decoder.Open(copy.c_str()) && decoder.ReadFrame(frame) &&
                    frame_marks::readFrameMark(frame.data(), 160, 120) == 0);
    }
    DeleteFileW(copy.c_str());
}
