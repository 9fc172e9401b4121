// Registration end to end: the stand-in softcam.dll beside this program (in a
// directory whose name has a blank and a non-ASCII letter, beside a planted
// regsvr32.exe that registers nothing) is run through the system directory's
// regsvr32 (in the tests' prefix, fake_regsvr32.cpp, which does what Windows' does).
#include "camera/camera_registration.h"

#include "camera/module_path_win.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

TEST(CameraRegistration, SucceedsOnlyWhereTheLibraryItselfRegisters)
{
    constexpr wchar_t kFailVariable[] = L"ORVENNA_STAND_IN_FAILS";  // the tool inherits it
    RegDeleteKeyW(HKEY_CLASSES_ROOT, L"CLSID\\{AEF3B972-5FA5-4647-9571-358EB472BC9E}");
    ASSERT_FALSE(isSoftcamRegistered());
    ASSERT_TRUE(runRegsvr32(false));
    EXPECT_TRUE(isSoftcamRegistered());
    EXPECT_TRUE(runRegsvr32(false));  // again: still fine
    ASSERT_TRUE(runRegsvr32(true));
    EXPECT_FALSE(isSoftcamRegistered());

    // A tool exiting with an error, and a missing library, are failures.
    ASSERT_TRUE(SetEnvironmentVariableW(kFailVariable, L"1"));
    EXPECT_FALSE(runRegsvr32(false));
    ASSERT_TRUE(SetEnvironmentVariableW(kFailVariable, nullptr));
    const std::wstring library = programDirectory() + L"softcam.dll", aside = library + L".aside";
    ASSERT_TRUE(MoveFileW(library.c_str(), aside.c_str()));
    const bool registered = runRegsvr32(false), unregistered = runRegsvr32(true);
    ASSERT_TRUE(MoveFileW(aside.c_str(), library.c_str()));
    EXPECT_FALSE(registered || unregistered);
    EXPECT_FALSE(isSoftcamRegistered());
}
