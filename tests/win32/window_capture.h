// Pictures of windows: a window's pixels captured into memory, read like GetPixel, and
// saved as PNG.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "support/png_writer.h"

enum class CaptureArea { kClient, kWholeWindow };

class CapturedImage {
public:
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    bool Empty() const { return m_pixels.empty(); }
    // 0x00BBGGRR, as GetPixel and RGB() give; 0xFFFFFFFF outside the image.
    COLORREF Pixel(int x, int y) const;
    uint8_t Red(int x, int y) const { return GetRValue(Pixel(x, y)); }
    uint8_t Green(int x, int y) const { return GetGValue(Pixel(x, y)); }
    uint8_t Blue(int x, int y) const { return GetBValue(Pixel(x, y)); }
    PngImage ToPng() const;

    // Copies from the window's own device context (under Wine it holds the children's
    // drawing too, whatever covers the window) into a 32-bit DIB section.
    bool Capture(HWND hwnd, CaptureArea area);

private:
    int m_width = 0;
    int m_height = 0;
    std::vector<uint32_t> m_pixels;  // 0x00RRGGBB, top-down, as a 32-bit DIB holds them
};

CapturedImage CaptureWindow(HWND hwnd, CaptureArea area = CaptureArea::kClient);
// The whole window, frame included, as the user sees it.
bool SaveWindowPng(HWND hwnd, const std::string& path);
