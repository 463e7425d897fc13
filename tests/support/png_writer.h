// A small PNG encoder for test pictures and screenshots: 8-bit RGB or RGBA, one IDAT of
// stored (uncompressed) deflate blocks. Large, but readable by every viewer and free of
// any library.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

enum class PngColour { kRgb, kRgba };

struct PngImage {
    int width = 0;
    int height = 0;
    PngColour colour = PngColour::kRgb;
    std::vector<uint8_t> pixels;  // rows top to bottom, 3 or 4 bytes a pixel, no padding
};

// The whole file's bytes; empty when the image's size and pixel count disagree.
std::vector<uint8_t> EncodePng(const PngImage& image);
// Writes the file; false when the image is inconsistent or the file cannot be written.
bool WritePng(const std::string& path, const PngImage& image);

// The checksums the format uses, exposed for the tests that read the file back.
uint32_t PngCrc32(const uint8_t* data, size_t size, uint32_t crc = 0);
uint32_t Adler32(const uint8_t* data, size_t size, uint32_t adler = 1);
