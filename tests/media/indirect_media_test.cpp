// Files that name other files (playlists, SVG pictures) are refused as they are: nothing they
// name is opened. A FIFO with no writer among the names would block such an open for good.
#include "media/image_loader.h"
#include "media/sound_decoder.h"
#include "media/video_decoder.h"

#include "support/test_media.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include <sys/stat.h>

namespace {

namespace fs = std::filesystem;

class IndirectMedia : public testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern = (fs::temp_directory_path() / "orvenna-indirect-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        dir = pattern;
        ASSERT_EQ(mkfifo((dir / "fifo.ts").c_str(), 0600), 0);
    }
    void TearDown() override { fs::remove_all(dir); }

    // Writes `text` into `name`, with FIFO, SELF and CLIP replaced by the FIFO's path, the
    // file's own and a playable clip's; returns the file's path.
    std::wstring write(const std::string& name, std::string text, const std::string& clip)
    {
        const fs::path self = dir / name;
        const std::pair<std::string, std::string> names[] = {
            {"FIFO", (dir / "fifo.ts").string()}, {"SELF", self.string()}, {"CLIP", clip}};
        for (const auto& [key, value] : names)
            for (std::size_t at; (at = text.find(key)) != std::string::npos;)
                text.replace(at, key.size(), value);
        std::ofstream(self) << text;
        return self.wstring();
    }

    fs::path dir;
};

TEST_F(IndirectMedia, PlaylistsFailToOpen)
{
    const std::string clip = fs::path(testMediaPath(L"bars_25.ts")).string();
    const std::string concat = "ffconcat version 1.0\nfile '%s'\n";
    const std::string hls = "#EXTM3U\n#EXT-X-TARGETDURATION:2\n#EXTINF:2,\n%s\n#EXT-X-ENDLIST\n";
    const struct {
        const char* name;
        const std::string& playlist;
        const char* entry;
    } cases[] = {
        {"concat naming a FIFO", concat, "FIFO"}, {"concat naming itself", concat, "SELF"},
        {"concat naming a clip", concat, "CLIP"}, {"HLS naming a FIFO", hls, "FIFO"},
        {"HLS naming itself", hls, "SELF"},       {"HLS naming a clip", hls, "CLIP"},
        {"HLS naming a concat: URL", hls, "concat:CLIP|CLIP"},
    };
    VideoDecoder decoder;
    SoundDecoder sound;  // opens the same files on its own
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::string text = c.playlist;
        text.replace(text.find("%s"), 2, c.entry);
        const std::wstring path = write("clip.mp4", text, clip);
        EXPECT_FALSE(decoder.Open(path.c_str()));
        EXPECT_EQ(decoder.m_width, 0u);
        EXPECT_FALSE(sound.Open(path.c_str()));
    }
}

// Qt's SVG reader would open the picture an SVG names; a picture's format comes from its bytes.
TEST_F(IndirectMedia, AnSvgPictureNamingAFifoFailsToLoad)
{
    ImageLoader loader;
    ASSERT_TRUE(loader.Initialize());
    const std::wstring path = write("picture.png",
                                    R"(<svg xmlns="http://www.w3.org/2000/svg" xmlns:xlink="http://www.w3.org/1999/xlink" )"
                                    R"(width="3" height="2"><image xlink:href="FIFO" width="3" height="2"/></svg>)",
                                    {});
    EXPECT_FALSE(loader.LoadImageW(path.c_str(), 0, 0));
    EXPECT_TRUE(loader.m_pixels.empty());
}

}  // namespace
