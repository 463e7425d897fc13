#include "window_capture.h"

namespace {

// A top-down 32-bit DIB section selected into a memory DC; frees both on scope exit.
class DibTarget {
public:
    DibTarget(HDC reference, int width, int height)
    {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        m_dc = CreateCompatibleDC(reference);
        m_bitmap = CreateDIBSection(reference, &info, DIB_RGB_COLORS, &m_bits, nullptr, 0);
        if (m_dc && m_bitmap) m_old = SelectObject(m_dc, m_bitmap);
    }
    ~DibTarget()
    {
        if (m_old) SelectObject(m_dc, m_old);
        if (m_bitmap) DeleteObject(m_bitmap);
        if (m_dc) DeleteDC(m_dc);
    }
    DibTarget(const DibTarget&) = delete;
    DibTarget& operator=(const DibTarget&) = delete;

    bool Valid() const { return m_old && m_bits; }
    HDC Dc() const { return m_dc; }
    const uint32_t* Bits() const { return static_cast<const uint32_t*>(m_bits); }

private:
    HDC m_dc = nullptr;
    HBITMAP m_bitmap = nullptr;
    HGDIOBJ m_old = nullptr;
    void* m_bits = nullptr;
};

// The captured rectangle in screen coordinates.
RECT ScreenRect(HWND hwnd, CaptureArea area)
{
    RECT rect = {};
    if (area == CaptureArea::kWholeWindow) {
        GetWindowRect(hwnd, &rect);
        return rect;
    }
    GetClientRect(hwnd, &rect);
    MapWindowPoints(hwnd, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// The window is repainted whole first, children included, so the picture shows its
// current state. Under Wine its device context holds its own and its children's drawing
// even where another window covers it.
bool CopyPixels(HWND hwnd, CaptureArea area, int width, int height, DibTarget& target)
{
    RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN);
    HDC source = area == CaptureArea::kClient ? GetDC(hwnd) : GetWindowDC(hwnd);
    if (!source) return false;
    const bool copied = BitBlt(target.Dc(), 0, 0, width, height, source, 0, 0, SRCCOPY) != FALSE;
    ReleaseDC(hwnd, source);
    return copied;
}

}  // namespace

COLORREF CapturedImage::Pixel(int x, int y) const
{
    if (x < 0 || y < 0 || x >= m_width || y >= m_height) return 0xFFFFFFFFu;
    const uint32_t p = m_pixels[static_cast<size_t>(y) * static_cast<size_t>(m_width) + static_cast<size_t>(x)];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
}

PngImage CapturedImage::ToPng() const
{
    PngImage image{m_width, m_height, PngColour::kRgb, {}};
    image.pixels.reserve(m_pixels.size() * 3);
    for (uint32_t p : m_pixels) {
        image.pixels.push_back(static_cast<uint8_t>(p >> 16));
        image.pixels.push_back(static_cast<uint8_t>(p >> 8));
        image.pixels.push_back(static_cast<uint8_t>(p));
    }
    return image;
}

bool CapturedImage::Capture(HWND hwnd, CaptureArea area)
{
    m_width = m_height = 0;
    m_pixels.clear();
    if (!IsWindow(hwnd)) return false;
    const RECT screen = ScreenRect(hwnd, area);
    const int width = screen.right - screen.left;
    const int height = screen.bottom - screen.top;
    if (width <= 0 || height <= 0) return false;

    HDC reference = GetDC(nullptr);
    DibTarget target(reference, width, height);
    ReleaseDC(nullptr, reference);
    if (!target.Valid() || !CopyPixels(hwnd, area, width, height, target)) return false;
    GdiFlush();
    m_width = width;
    m_height = height;
    m_pixels.assign(target.Bits(), target.Bits() + static_cast<size_t>(width) * static_cast<size_t>(height));
    for (uint32_t& p : m_pixels) p &= 0x00FFFFFFu;
    return true;
}

CapturedImage CaptureWindow(HWND hwnd, CaptureArea area)
{
    CapturedImage image;
    image.Capture(hwnd, area);
    return image;
}

bool SaveWindowPng(HWND hwnd, const std::string& path)
{
    const CapturedImage image = CaptureWindow(hwnd, CaptureArea::kWholeWindow);
    return !image.Empty() && WritePng(path, image.ToPng());
}
