// The binding against the test camera library: variant "search" lies on the
// search path, each case places a variant (or nothing) beside the program.
#include "camera/frame_sender.h"

#include "fake_camera.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>

namespace {

namespace fs = std::filesystem;

// Puts the test library `variant` beside the program; "" leaves nothing there.
void placeBeside(const std::string& variant)
{
    const fs::path beside = fs::path(BINDING_DIR) / kCameraLibraryName;
    fs::remove(beside);  // a new file, never one rewritten under a loaded module
    if (!variant.empty())
        fs::copy_file(fs::path(FAKE_DIR) / variant / kCameraLibraryName, beside);
}

// By its full path: on Windows a bare name finds one already loaded from beside the program.
void* openSearchPathLibrary()
{
    return loadLibraryFromSearchPath((fs::path(FAKE_DIR) / "search" / kCameraLibraryName).string().c_str());
}

// Beside the program comes first; an incomplete library there is final, one
// without the optional entry points is accepted and never connected.
TEST(CameraBinding, LoadsBesideTheProgramFirstThenFromTheSearchPath)
{
    const struct {
        const char* beside;
        bool loads, fromBeside, canConnect;
    } cases[] = {{"", true, false, true}, {"beside", true, true, true}, {"incomplete", false, false, false},
                 {"minimal", true, true, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string("beside: ") + c.beside);
        placeBeside(c.beside);
        FakeCameraHooks beside(loadLibraryBesideProgram(kCameraLibraryName));
        FakeCameraHooks search(openSearchPathLibrary());
        ASSERT_TRUE(search.available());
        ASSERT_STREQ(beside.available() ? beside->origin() : "", c.beside);

        FrameSender sender;
        EXPECT_EQ(sender.LoadDll(), c.loads);
        EXPECT_EQ(sender.LoadDll(), c.loads);  // loaded once, or failing again
        EXPECT_EQ(sender.InitCamera(320, 240, 30.0f), c.loads);
        EXPECT_EQ(search->kinds(), c.loads && !c.fromBeside ? "c" : "");
        EXPECT_EQ(beside.available() ? beside->kinds() : "", c.fromBeside ? "c" : "");
        // Connected is the library's answer about the camera, nothing else.
        FakeCameraHooks& used = c.fromBeside ? beside : search;
        for (const bool connected : {false, true}) {
            used->setConnected(connected);
            EXPECT_EQ(sender.IsConnected(), connected && c.canConnect);
        }
    }
}

// Another size replaces the camera 100 ms after deleting it; a failed creation
// is retried once 200 ms later, and two failures leave no camera at all.
TEST(CameraBinding, CameraIsReplacedRetriedAndDeleted)
{
    placeBeside("");
    FakeCameraHooks fake(openSearchPathLibrary());
    ASSERT_TRUE(fake.available());
    fake->setConnected(true);
    {
        FrameSender sender;
        EXPECT_FALSE(sender.IsConnected());  // no camera yet
        fake->failCreates(1);
        ASSERT_TRUE(sender.InitCamera(640, 480, 30.0f));
        ASSERT_TRUE(sender.InitCamera(320, 240, 25.0f));
        EXPECT_TRUE(sender.IsConnected());
        fake->failCreates(2);
        EXPECT_FALSE(sender.InitCamera(160, 120, 30.0f));
        EXPECT_FALSE(sender.IsConnected());

        const auto list = fake->events();
        ASSERT_EQ(fake->kinds(), "fcdcdff");
        EXPECT_GE(list[1].milliseconds - list[0].milliseconds, 200.0);
        EXPECT_EQ(list[2].width, 640);
        EXPECT_EQ(std::pair(list[3].width, list[3].height), std::pair(320, 240));
        EXPECT_GE(list[3].milliseconds - list[2].milliseconds, 100.0);

        ASSERT_TRUE(sender.InitCamera(64, 64, 30.0f));  // the binding stays usable
        sender.ShutdownCamera();
        EXPECT_EQ(fake->kinds(), "fcdcdffcd");
        ASSERT_TRUE(sender.InitCamera(64, 64, 30.0f));
    }
    EXPECT_EQ(fake->kinds(), "fcdcdffcdcd");  // the sender deletes its camera
}

} // namespace
