#include "media/picture_turn.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// One pixel a letter, its three bytes told apart by channel.
std::vector<uint8_t> picture(const std::string& letters)
{
    std::vector<uint8_t> bytes;
    for (char c : letters)
        bytes.insert(bytes.end(), {uint8_t(c), uint8_t(c + 32), uint8_t(c + 64)});
    return bytes;
}

TEST(PictureTurn, TurnsClockwise)
{
    // 3 x 2:  a b c
    //         d e f
    const std::vector<uint8_t> source = picture("abcdef");
    const struct {
        int degrees;
        const char* rows;  // the turned picture, row after row
    } cases[] = {{90, "daebfc"}, {180, "fedcba"}, {270, "cfbead"}};
    for (const auto& c : cases) {
        std::vector<uint8_t> turned(source.size());
        turnPicture(source.data(), 3, 2, c.degrees, turned.data());
        EXPECT_EQ(turned, picture(c.rows)) << c.degrees;
    }
}

}  // namespace
