#include "paint/window_surface.h"

#include <gtest/gtest.h>

#include "test_support/gdi_objects.h"
#include "test_support/gdi_test_support.h"

namespace {

class WindowSurfaceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        window = CreateTestWindow();
        ASSERT_NE(window, nullptr) << "no window: the Windows tests need a display (xvfb-run)";
        // The first binding may make objects the system keeps (a cached window context):
        // make them before anything is counted.
        WindowSurface warmUp;
        warmUp.Attach(window);
    }
    void TearDown() override
    {
        if (window != 0)
            DestroyWindow(window);
    }
    HWND window = 0;
};

void ExpectUnbound(const WindowSurface& surface)
{
    EXPECT_EQ(surface.WindowDC(), nullptr);
    EXPECT_EQ(surface.MemoryDC(), nullptr);
}

TEST_F(WindowSurfaceTest, NewSurfaceIsUnboundAndReleaseIsHarmless)
{
    WindowSurface surface;
    EXPECT_EQ(surface.ClientWidth(), 0);
    EXPECT_EQ(surface.ClientHeight(), 0);
    ExpectUnbound(surface);
    surface.Release();
    surface.Release();
    ExpectUnbound(surface);
}

TEST_F(WindowSurfaceTest, AttachBindsAClientSizedColourBackBuffer)
{
    WindowSurface surface;
    ASSERT_TRUE(surface.Attach(window));
    RECT client;
    GetClientRect(window, &client);
    EXPECT_EQ(surface.ClientWidth(), client.right);
    EXPECT_EQ(surface.ClientHeight(), client.bottom);
    EXPECT_GT(surface.ClientWidth(), 250);
    ASSERT_NE(surface.WindowDC(), nullptr);
    ASSERT_NE(surface.MemoryDC(), nullptr);

    BITMAP back = {};
    HGDIOBJ selected = GetCurrentObject(surface.MemoryDC(), OBJ_BITMAP);
    ASSERT_NE(GetObjectA(selected, sizeof back, &back), 0);
    EXPECT_EQ(back.bmWidth, client.right);
    EXPECT_EQ(back.bmHeight, client.bottom);
    EXPECT_GT(back.bmBitsPixel, 1) << "made from the memory context, it would be monochrome";
}

TEST_F(WindowSurfaceTest, AttachingNullGivesBackTheEarlierBinding)
{
    WindowSurface surface;
    const long before = GdiObjectCount();
    for (int n = 0; n < 300; ++n) {
        ASSERT_TRUE(surface.Attach(window));
        ASSERT_NE(surface.MemoryDC(), nullptr);
        ASSERT_FALSE(surface.Attach(0));
        ExpectUnbound(surface);
    }
    EXPECT_EQ(GdiObjectCount(), before);
}

TEST_F(WindowSurfaceTest, ReattachingReleasesFirstAndNothingLeaks)
{
    WindowSurface surface;
    const long before = GdiObjectCount();
    for (int n = 0; n < 300; ++n) {
        ASSERT_TRUE(surface.Attach(window));
        ASSERT_TRUE(surface.Attach(window));
        ASSERT_NE(surface.MemoryDC(), nullptr);
    }
    surface.Release();
    ExpectUnbound(surface);
    EXPECT_EQ(GdiObjectCount(), before);
}

TEST_F(WindowSurfaceTest, DestructorReleases)
{
    const long before = GdiObjectCount();
    for (int n = 0; n < 300; ++n) {
        WindowSurface surface;
        ASSERT_TRUE(surface.Attach(window));
    }
    EXPECT_EQ(GdiObjectCount(), before);
}

TEST_F(WindowSurfaceTest, ClientSizeIsTakenAtAttachTime)
{
    WindowSurface surface;
    ASSERT_TRUE(surface.Attach(window));
    const int width = surface.ClientWidth(), height = surface.ClientHeight();
    SetWindowPos(window, 0, 0, 0, 500, 400, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_EQ(surface.ClientWidth(), width);
    EXPECT_EQ(surface.ClientHeight(), height);
}

TEST_F(WindowSurfaceTest, AttachToADestroyedWindowFails)
{
    HWND gone = CreateTestWindow();
    ASSERT_NE(gone, nullptr);
    DestroyWindow(gone);
    WindowSurface surface;
    EXPECT_FALSE(surface.Attach(gone));
    surface.Release();
    ExpectUnbound(surface);
}

}  // namespace
