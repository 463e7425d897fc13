// The capture the pixel tests rely on: a window's own background, a child of a custom
// class and a common-control child must all come out in the picture.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include "fake_host.h"
#include "window_capture.h"

namespace {

constexpr COLORREF kParentColour = RGB(200, 30, 40);
constexpr COLORREF kChildColour = RGB(20, 180, 60);
constexpr COLORREF kListColour = RGB(30, 60, 210);

class CaptureScene {
public:
    CaptureScene()
    {
        const HINSTANCE instance = GetModuleHandleA(nullptr);
        m_parentBrush = CreateSolidBrush(kParentColour);
        m_childBrush = CreateSolidBrush(kChildColour);
        Register("LumaraCaptureParent", m_parentBrush);
        Register("LumaraCaptureChild", m_childBrush);
        parent = CreateWindowExA(0, "LumaraCaptureParent", "capture", WS_POPUP | WS_VISIBLE, 0, 0, 240,
                     160, nullptr, nullptr, instance, nullptr);
        CreateWindowExA(0, "LumaraCaptureChild", "", WS_CHILD | WS_VISIBLE, 10, 10, 60, 40, parent, nullptr, instance,
                        nullptr);
        INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_LISTVIEW_CLASSES};
        InitCommonControlsEx(&controls);
        const HWND list = CreateWindowExA(0, WC_LISTVIEWA, "", WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_NOCOLUMNHEADER,
                                          100, 10, 120, 120, parent, nullptr, instance, nullptr);
        SendMessageA(list, LVM_SETBKCOLOR, 0, kListColour);
        PumpFor(100);
    }
    ~CaptureScene()
    {
        DestroyWindow(parent);
        // The classes hold the brushes: each scene registers its own.
        UnregisterClassA("LumaraCaptureParent", GetModuleHandleA(nullptr));
        UnregisterClassA("LumaraCaptureChild", GetModuleHandleA(nullptr));
        DeleteObject(m_parentBrush);
        DeleteObject(m_childBrush);
    }
    CaptureScene(const CaptureScene&) = delete;
    CaptureScene& operator=(const CaptureScene&) = delete;

    HWND parent = nullptr;

private:
    static void Register(const char* name, HBRUSH brush)
    {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.hbrBackground = brush;
        windowClass.lpszClassName = name;
        RegisterClassA(&windowClass);
    }
    HBRUSH m_parentBrush = nullptr;
    HBRUSH m_childBrush = nullptr;
};

TEST(WindowCaptureTest, WindowDcShowsTheWindowAndItsChildren)
{
    CaptureScene scene;
    const CapturedImage image = CaptureWindow(scene.parent);
    ASSERT_EQ(240, image.Width());
    ASSERT_EQ(160, image.Height());
    EXPECT_EQ(kParentColour, image.Pixel(5, 5));
    EXPECT_EQ(kParentColour, image.Pixel(90, 150));
    EXPECT_EQ(kChildColour, image.Pixel(30, 30));
    EXPECT_EQ(kListColour, image.Pixel(160, 70));
    EXPECT_EQ(0xFFFFFFFFu, image.Pixel(240, 0));
    EXPECT_EQ(200, image.Red(5, 5));
    EXPECT_EQ(180, image.Green(30, 30));
    EXPECT_EQ(210, image.Blue(160, 70));
}

TEST(WindowCaptureTest, AWindowCoveredByAnotherStillShowsItself)
{
    CaptureScene scene;
    const HWND cover = CreateWindowExA(WS_EX_TOPMOST, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 200, 120, nullptr,
                                       nullptr, GetModuleHandleA(nullptr), nullptr);
    PumpFor(100);
    const CapturedImage image = CaptureWindow(scene.parent);
    DestroyWindow(cover);
    ASSERT_FALSE(image.Empty());
    EXPECT_EQ(kParentColour, image.Pixel(5, 5));
    EXPECT_EQ(kChildColour, image.Pixel(30, 30));
    EXPECT_EQ(kListColour, image.Pixel(160, 70));
}

TEST(WindowCaptureTest, SavesAPng)
{
    CaptureScene scene;
    const std::string path = "window_capture_test.png";
    ASSERT_TRUE(SaveWindowPng(scene.parent, path));
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    char signature[8] = {};
    DWORD read = 0;
    ReadFile(file, signature, sizeof(signature), &read, nullptr);
    const DWORD size = GetFileSize(file, nullptr);
    CloseHandle(file);
    DeleteFileA(path.c_str());
    EXPECT_EQ(8u, read);
    EXPECT_EQ(std::string("\x89PNG", 4), std::string(signature, 4));
    EXPECT_GT(size, 240u * 160u * 3u);
}

}  // namespace
