// The icon group of Orvenna.exe (rendered from its SVG icon) and its manifest, linked into
// this program.
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

// The loader built the process's default activation context (no handle) from the manifest:
// the program runs with its user's rights, as a program of Windows 10 and later.
TEST(ExecutableResources, ManifestRunsAsTheUserOnWindows10)
{
    ACTIVATION_CONTEXT_RUN_LEVEL_INFORMATION runLevel = {};
    ASSERT_TRUE(QueryActCtxW(0, nullptr, nullptr, RunlevelInformationInActivationContext, &runLevel, sizeof(runLevel),
                             nullptr));
    EXPECT_EQ(runLevel.RunLevel, ACTCTX_RUN_LEVEL_AS_INVOKER);
    EXPECT_EQ(runLevel.UiAccess, 0u);

    // Elements as Windows 10 1903 and Wine write them; mingw's header lacks the last member.
    struct Element {
        GUID id;
        ACTCTX_COMPATIBILITY_ELEMENT_TYPE type;
        ULONGLONG maxVersionTested;
    };
    struct {
        DWORD count;
        Element elements[4];
    } compatibility = {};
    ASSERT_TRUE(QueryActCtxW(0, nullptr, nullptr, CompatibilityInformationInActivationContext, &compatibility,
                             sizeof(compatibility), nullptr));
    constexpr GUID kWindows10 = {0x8e0f7a12, 0xbfb3, 0x4fe8, {0xb9, 0xa5, 0x48, 0xfd, 0x50, 0xa1, 0x5a, 0x9a}};
    ASSERT_EQ(compatibility.count, 1u);
    EXPECT_EQ(compatibility.elements[0].type, ACTCTX_COMPATIBILITY_ELEMENT_TYPE_OS);
    EXPECT_TRUE(IsEqualGUID(compatibility.elements[0].id, kWindows10));
}
