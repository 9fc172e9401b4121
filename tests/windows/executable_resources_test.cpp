// The resources of Orvenna.exe, linked into this test program: the icon
// group rendered from the program's SVG icon and the version block.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

namespace {

// The icon group's directory as the resource compiler stores it.
#pragma pack(push, 2)
struct GroupIconEntry {
    BYTE width;  // 0 means 256
    BYTE height;
    BYTE colorCount;
    BYTE reserved;
    WORD planes;
    WORD bitCount;
    DWORD bytes;
    WORD id;
};
struct GroupIconHeader {
    WORD reserved;
    WORD type;
    WORD count;
};
#pragma pack(pop)

TEST(ExecutableResources, IconGroupHoldsFiveSquareImagesOf32Bits)
{
    const HRSRC found = FindResourceA(nullptr, "IDI_ICON1", RT_GROUP_ICON);
    ASSERT_TRUE(found);
    const DWORD size = SizeofResource(nullptr, found);
    const auto* bytes = static_cast<const BYTE*>(LockResource(LoadResource(nullptr, found)));
    ASSERT_TRUE(bytes);
    ASSERT_GE(size, sizeof(GroupIconHeader));
    const auto* header = reinterpret_cast<const GroupIconHeader*>(bytes);
    ASSERT_EQ(size, sizeof(GroupIconHeader) + header->count * sizeof(GroupIconEntry));

    const auto* entries = reinterpret_cast<const GroupIconEntry*>(header + 1);
    std::vector<int> sizes;
    for (WORD i = 0; i < header->count; ++i) {
        const int width = entries[i].width ? entries[i].width : 256;
        EXPECT_EQ(entries[i].height ? entries[i].height : 256, width);
        EXPECT_EQ(entries[i].bitCount, 32) << width << " px";
        sizes.push_back(width);
        // Windows itself can make an icon of every image.
        const HANDLE icon = LoadImageW(GetModuleHandleW(nullptr), L"IDI_ICON1", IMAGE_ICON, width, width, 0);
        EXPECT_TRUE(icon) << width << " px";
        DestroyIcon(static_cast<HICON>(icon));
    }
    EXPECT_EQ(sizes, (std::vector<int>{16, 32, 48, 64, 256}));
}

TEST(ExecutableResources, VersionBlockNamesTheProgram)
{
    wchar_t path[MAX_PATH];
    ASSERT_GT(GetModuleFileNameW(nullptr, path, MAX_PATH), 0u);
    std::vector<BYTE> block(GetFileVersionInfoSizeW(path, nullptr));
    ASSERT_FALSE(block.empty());
    ASSERT_TRUE(GetFileVersionInfoW(path, 0, DWORD(block.size()), block.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, DWORD(MAKELONG(1, 1)));  // 1.1.0.0
    EXPECT_EQ(fixed->dwFileVersionLS, 0u);
    EXPECT_EQ(fixed->dwProductVersionMS, DWORD(MAKELONG(1, 1)));

    const std::pair<const wchar_t*, const wchar_t*> strings[] = {
        {L"FileDescription", L"Orvenna - Virtual Camera for Windows"},
        {L"FileVersion", L"1.1"},
        {L"InternalName", L"Orvenna"},
        {L"OriginalFilename", L"Orvenna.exe"},
        {L"ProductName", L"Orvenna"},
        {L"ProductVersion", L"1.1"},
    };
    for (const auto& [key, expected] : strings) {
        const std::wstring query = std::wstring(L"\\StringFileInfo\\040904B0\\") + key;
        wchar_t* value = nullptr;
        ASSERT_TRUE(VerQueryValueW(block.data(), query.c_str(), reinterpret_cast<void**>(&value), &length))
            << std::string(key, key + wcslen(key));
        EXPECT_EQ(std::wstring(value), expected);
    }
}

} // namespace
