// The icon group of Orvenna.exe (rendered from its SVG icon), linked into this program.
#include <gtest/gtest.h>

#include <windows.h>

#include <vector>

// The icon group's directory as the resource compiler stores it.
#pragma pack(push, 2)
struct GroupIconEntry {
    BYTE width, height, colorCount, reserved;  // 0 means 256
    WORD planes, bitCount;
    DWORD bytes;
    WORD id;
};
struct GroupIconHeader {
    WORD reserved, type, count;
};
#pragma pack(pop)

TEST(ExecutableResources, IconGroupHoldsFiveSquareImagesOf32Bits)
{
    const HRSRC found = FindResourceA(nullptr, "IDI_ICON1", RT_GROUP_ICON);
    ASSERT_TRUE(found);
    const auto* header = static_cast<const GroupIconHeader*>(LockResource(LoadResource(nullptr, found)));
    ASSERT_TRUE(header);
    ASSERT_EQ(SizeofResource(nullptr, found), sizeof(GroupIconHeader) + header->count * sizeof(GroupIconEntry));

    const auto* entries = reinterpret_cast<const GroupIconEntry*>(header + 1);
    std::vector<int> sizes;
    for (WORD i = 0; i < header->count; ++i) {
        const int width = entries[i].width ? entries[i].width : 256;
        sizes.push_back(width);
        EXPECT_TRUE(entries[i].height == entries[i].width && entries[i].bitCount == 32) << width << " px";
        // Windows itself makes an icon of every image.
        const HANDLE icon = LoadImageW(GetModuleHandleW(nullptr), L"IDI_ICON1", IMAGE_ICON, width, width, 0);
        EXPECT_TRUE(icon) << width << " px";
        DestroyIcon(static_cast<HICON>(icon));
    }
    EXPECT_EQ(sizes, (std::vector<int>{16, 32, 48, 64, 256}));
}
