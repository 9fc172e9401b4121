// The camera library binding against the test camera library: a complete
// variant "search" lies on the search path, and each case places a variant
// (or nothing) beside the program.
#include "camera/frame_sender.h"

#include "fake_camera_hooks.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

namespace fs = std::filesystem;

class CameraBinding : public testing::Test {
protected:
    void SetUp() override { placeBeside(""); }

    // Puts the test library `variant` beside the program; "" leaves nothing there.
    static void placeBeside(const std::string& variant)
    {
        const fs::path beside = fs::path(BINDING_DIR) / kCameraLibraryName;
        fs::remove(beside);  // a new file, never one rewritten under a loaded module
        if (!variant.empty())
            fs::copy_file(fs::path(FAKE_DIR) / variant / kCameraLibraryName, beside);
    }

    // The library on the search path, by its full path: on Windows a bare
    // name finds one already loaded from beside the program.
    static void* openSearchPathLibrary()
    {
        return loadLibraryFromSearchPath((fs::path(FAKE_DIR) / "search" / kCameraLibraryName).string().c_str());
    }
};

// Beside the program comes first; an incomplete library there is final, one
// without the optional entry points is accepted and never connected.
TEST_F(CameraBinding, LoadsBesideTheProgramFirstThenFromTheSearchPath)
{
    struct Case {
        const char* beside;
        bool loads;
        bool fromBeside;
        bool canConnect;
    };
    const Case cases[] = {
        {"", true, false, true},
        {"beside", true, true, true},
        {"incomplete", false, false, false},
        {"minimal", true, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("beside: ") + c.beside);
        placeBeside(c.beside);
        FakeCameraHooks beside(loadLibraryBesideProgram(kCameraLibraryName));
        FakeCameraHooks search(openSearchPathLibrary());
        ASSERT_TRUE(search.available());
        ASSERT_EQ(beside.available(), *c.beside != '\0');
        if (beside.available()) {
            ASSERT_STREQ(beside->origin(), c.beside);
        }

        FrameSender sender;
        EXPECT_EQ(sender.LoadDll(), c.loads);
        EXPECT_EQ(sender.LoadDll(), c.loads);  // loaded once, or failing again
        EXPECT_EQ(sender.InitCamera(320, 240, 30.0f), c.loads);
        EXPECT_EQ(search->kinds(), c.loads && !c.fromBeside ? "c" : "");
        if (beside.available()) {
            EXPECT_EQ(beside->kinds(), c.fromBeside ? "c" : "");
        }
        // Connected is the library's answer about the camera, nothing else.
        FakeCameraHooks& used = c.fromBeside ? beside : search;
        for (const bool connected : {false, true}) {
            used->setConnected(connected);
            EXPECT_EQ(sender.IsConnected(), connected && c.canConnect);
        }
    }
}

TEST_F(CameraBinding, AnotherSizeReplacesTheCameraAndShutdownOrDestructionDeletesIt)
{
    FakeCameraHooks fake(openSearchPathLibrary());
    ASSERT_TRUE(fake.available());
    fake->setConnected(true);
    {
        FrameSender sender;
        EXPECT_FALSE(sender.IsConnected());  // no camera yet
        ASSERT_TRUE(sender.InitCamera(640, 480, 30.0f));
        ASSERT_TRUE(sender.InitCamera(320, 240, 25.0f));
        EXPECT_TRUE(sender.IsConnected());

        const auto list = fake->events();
        ASSERT_EQ(fake->kinds(), "cdc");
        EXPECT_EQ(list[1].width, 640);
        EXPECT_EQ(list[2].width, 320);
        EXPECT_EQ(list[2].height, 240);
        EXPECT_GE(list[2].milliseconds - list[1].milliseconds, 100.0);

        sender.ShutdownCamera();
        EXPECT_FALSE(fake->cameraExists());
        EXPECT_FALSE(sender.IsConnected());
        ASSERT_TRUE(sender.InitCamera(64, 64, 30.0f));
    }
    EXPECT_FALSE(fake->cameraExists());
}

TEST_F(CameraBinding, FailedCreationIsRetriedOnceAfter200Milliseconds)
{
    FakeCameraHooks fake(openSearchPathLibrary());
    ASSERT_TRUE(fake.available());
    FrameSender sender;

    fake->failCreates(1);
    ASSERT_TRUE(sender.InitCamera(640, 480, 30.0f));
    const auto list = fake->events();
    ASSERT_EQ(fake->kinds(), "fc");
    EXPECT_GE(list[1].milliseconds - list[0].milliseconds, 200.0);

    // Two failures give up and leave no camera, not even the earlier one.
    fake->reset();
    fake->failCreates(2);
    EXPECT_FALSE(sender.InitCamera(320, 240, 30.0f));
    EXPECT_EQ(fake->kinds(), "dff");
    EXPECT_FALSE(fake->cameraExists());

    // The binding stays usable.
    EXPECT_TRUE(sender.InitCamera(320, 240, 30.0f));
}

} // namespace
