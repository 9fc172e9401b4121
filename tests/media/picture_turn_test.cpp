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
    const std::vector<uint8_t> source = picture("abcdef");  // 3 x 2: "abc" over "def"
    for (const auto& [degrees, rows] : {std::pair{90, "daebfc"}, {180, "fedcba"}, {270, "cfbead"}}) {
        std::vector<uint8_t> turned(source.size());
        turnPicture(source.data(), 3, 2, degrees, turned.data());
        EXPECT_EQ(turned, picture(rows)) << degrees;
    }
}

}  // namespace
