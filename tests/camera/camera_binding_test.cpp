// The camera library binding against the test camera library. The same
// program is built into several directories, each with a different library
// beside it (or none), and a complete library with origin "search" on the
// search path; each copy runs the suite named after its directory.
#include "camera/frame_sender.h"

#include "fake_camera_hooks.h"

#include <gtest/gtest.h>

namespace {

// The complete library on the search path, by its full path: on Windows a
// bare name finds the one beside the program first.
void* openSearchPathLibrary()
{
    return loadLibraryFromSearchPath(FAKE_SEARCH_LIBRARY);
}

} // namespace

TEST(NothingBeside, LoadsFromTheSearchPath)
{
    FakeCameraHooks search(loadLibraryFromSearchPath(kCameraLibraryName));
    ASSERT_TRUE(search.available());
    ASSERT_STREQ(search.origin(), "search");

    FrameSender sender;
    ASSERT_TRUE(sender.InitCamera(320, 240, 30.0f));
    EXPECT_TRUE(sender.IsConnected());
    EXPECT_EQ(search.kinds(), "c");
}

TEST(CompleteBeside, IsPreferredToTheSearchPath)
{
    FakeCameraHooks beside(loadLibraryBesideProgram(kCameraLibraryName));
    FakeCameraHooks search(openSearchPathLibrary());
    ASSERT_TRUE(beside.available() && search.available());
    ASSERT_STREQ(beside.origin(), "beside");
    ASSERT_STREQ(search.origin(), "search");

    FrameSender sender;
    EXPECT_TRUE(sender.LoadDll());
    EXPECT_TRUE(sender.LoadDll());  // already loaded
    ASSERT_TRUE(sender.InitCamera(320, 240, 30.0f));
    EXPECT_EQ(beside.kinds(), "c");
    EXPECT_EQ(search.kinds(), "");
}

TEST(CompleteBeside, AnotherSizeReplacesTheCameraAndShutdownOrDestructionDeletesIt)
{
    FakeCameraHooks fake(FakeCameraHooks::openAsTheBindingDoes());
    ASSERT_TRUE(fake.available());
    {
        FrameSender sender;
        EXPECT_FALSE(sender.IsConnected());  // no camera yet
        ASSERT_TRUE(sender.InitCamera(640, 480, 30.0f));
        ASSERT_TRUE(sender.InitCamera(320, 240, 25.0f));
        EXPECT_TRUE(sender.IsConnected());

        const auto list = fake.events();
        ASSERT_EQ(fake.kinds(), "cdc");
        EXPECT_EQ(list[1].width, 640);
        EXPECT_EQ(list[2].width, 320);
        EXPECT_EQ(list[2].height, 240);
        EXPECT_GE(list[2].milliseconds - list[1].milliseconds, 100.0);

        sender.ShutdownCamera();
        EXPECT_FALSE(fake.cameraExists());
        EXPECT_FALSE(sender.IsConnected());
        ASSERT_TRUE(sender.InitCamera(64, 64, 30.0f));
    }
    EXPECT_FALSE(fake.cameraExists());
}

TEST(CompleteBeside, FailedCreationIsRetriedOnceAfter200Milliseconds)
{
    FakeCameraHooks fake(FakeCameraHooks::openAsTheBindingDoes());
    ASSERT_TRUE(fake.available());
    FrameSender sender;

    fake.failCreates(1);
    ASSERT_TRUE(sender.InitCamera(640, 480, 30.0f));
    const auto list = fake.events();
    ASSERT_EQ(fake.kinds(), "fc");
    EXPECT_GE(list[1].milliseconds - list[0].milliseconds, 200.0);

    // Two failures give up and leave no camera, not even the earlier one.
    fake.reset();
    fake.failCreates(2);
    EXPECT_FALSE(sender.InitCamera(320, 240, 30.0f));
    EXPECT_EQ(fake.kinds(), "dff");
    EXPECT_FALSE(fake.cameraExists());
    EXPECT_FALSE(sender.IsConnected());

    // The binding stays usable.
    EXPECT_TRUE(sender.InitCamera(320, 240, 30.0f));
}

TEST(IncompleteBeside, FailsEvenWithACompleteLibraryOnTheSearchPath)
{
    FakeCameraHooks search(openSearchPathLibrary());
    ASSERT_TRUE(search.available());

    FrameSender sender;
    EXPECT_FALSE(sender.LoadDll());
    EXPECT_FALSE(sender.InitCamera(320, 240, 30.0f));
    EXPECT_FALSE(sender.IsConnected());
    EXPECT_EQ(search.kinds(), "");
}

TEST(MinimalBeside, WithoutTheOptionalEntryPointsIsAcceptedAndNeverConnected)
{
    FakeCameraHooks beside(loadLibraryBesideProgram(kCameraLibraryName));
    ASSERT_TRUE(beside.available());
    ASSERT_STREQ(beside.origin(), "beside-minimal");

    FrameSender sender;
    ASSERT_TRUE(sender.InitCamera(320, 240, 30.0f));
    EXPECT_TRUE(beside.cameraExists());
    EXPECT_FALSE(sender.IsConnected());
}
