#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "support/png_writer.h"

namespace {

uint32_t Big32(const std::vector<uint8_t>& b, size_t at)
{
    return (uint32_t{b[at]} << 24) | (uint32_t{b[at + 1]} << 16) | (uint32_t{b[at + 2]} << 8) | b[at + 3];
}

struct Chunk {
    std::string type;
    std::vector<uint8_t> data;
};

// Reads the chunk list back, failing the test on a bad signature, length or CRC.
std::vector<Chunk> ReadChunks(const std::vector<uint8_t>& file)
{
    static const uint8_t kSignature[] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    std::vector<Chunk> chunks;
    EXPECT_GE(file.size(), 8u);
    if (file.size() < 8 || std::memcmp(file.data(), kSignature, 8) != 0) {
        ADD_FAILURE() << "signature";
        return chunks;
    }
    size_t at = 8;
    while (at + 12 <= file.size()) {
        const uint32_t length = Big32(file, at);
        if (at + 12 + length > file.size()) break;
        const uint32_t crc = PngCrc32(file.data() + at + 4, length + 4);
        EXPECT_EQ(crc, Big32(file, at + 8 + length)) << "chunk at " << at;
        chunks.push_back({std::string(file.begin() + static_cast<long>(at) + 4, file.begin() + static_cast<long>(at) + 8),
                          std::vector<uint8_t>(file.begin() + static_cast<long>(at) + 8,
                                               file.begin() + static_cast<long>(at + 8 + length))});
        at += 12 + length;
    }
    EXPECT_EQ(at, file.size()) << "bytes after the last whole chunk";
    return chunks;
}

// Inflates a zlib stream made only of stored blocks, checking lengths and the Adler-32.
std::vector<uint8_t> InflateStored(const std::vector<uint8_t>& z)
{
    std::vector<uint8_t> out;
    EXPECT_GE(z.size(), 6u);
    if (z.size() < 6) return out;
    EXPECT_EQ(0u, ((z[0] << 8) | z[1]) % 31) << "zlib header check";
    size_t at = 2;
    bool last = false;
    while (!last && at + 5 <= z.size()) {
        last = z[at] & 1;
        EXPECT_EQ(0, (z[at] >> 1) & 3) << "stored block";
        const unsigned length = z[at + 1] | (z[at + 2] << 8);
        const unsigned complement = z[at + 3] | (z[at + 4] << 8);
        EXPECT_EQ(length, ~complement & 0xFFFFu);
        at += 5;
        if (at + length > z.size()) break;
        out.insert(out.end(), z.begin() + static_cast<long>(at), z.begin() + static_cast<long>(at + length));
        at += length;
    }
    EXPECT_TRUE(last);
    EXPECT_EQ(at + 4, z.size());
    if (at + 4 <= z.size()) {
        EXPECT_EQ(Adler32(out.data(), out.size()), Big32(z, at));
    }
    return out;
}

// Decodes what EncodePng writes back into an image.
PngImage Decode(const std::vector<uint8_t>& file)
{
    PngImage image;
    std::vector<uint8_t> idat;
    const std::vector<Chunk> chunks = ReadChunks(file);
    EXPECT_FALSE(chunks.empty());
    if (chunks.empty()) return image;
    EXPECT_EQ("IHDR", chunks.front().type);
    EXPECT_EQ("IEND", chunks.back().type);
    const std::vector<uint8_t>& header = chunks.front().data;
    EXPECT_EQ(13u, header.size());
    if (header.size() != 13) return image;
    image.width = static_cast<int>(Big32(header, 0));
    image.height = static_cast<int>(Big32(header, 4));
    EXPECT_EQ(8, header[8]);
    image.colour = header[9] == 6 ? PngColour::kRgba : PngColour::kRgb;
    for (const Chunk& chunk : chunks)
        if (chunk.type == "IDAT") idat.insert(idat.end(), chunk.data.begin(), chunk.data.end());
    const std::vector<uint8_t> raw = InflateStored(idat);
    const size_t stride = static_cast<size_t>(image.width) * (image.colour == PngColour::kRgba ? 4 : 3);
    EXPECT_EQ((stride + 1) * static_cast<size_t>(image.height), raw.size());
    for (size_t at = 0; at + stride + 1 <= raw.size(); at += stride + 1) {
        EXPECT_EQ(0, raw[at]) << "filter type";
        image.pixels.insert(image.pixels.end(), raw.begin() + static_cast<long>(at) + 1,
                            raw.begin() + static_cast<long>(at + 1 + stride));
    }
    return image;
}

PngImage Gradient(int width, int height, PngColour colour)
{
    PngImage image{width, height, colour, {}};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            image.pixels.push_back(static_cast<uint8_t>(x));
            image.pixels.push_back(static_cast<uint8_t>(y));
            image.pixels.push_back(static_cast<uint8_t>(x ^ y));
            if (colour == PngColour::kRgba) image.pixels.push_back(static_cast<uint8_t>(255 - x));
        }
    return image;
}

TEST(PngWriterTest, ChecksumsMatchTheirReferenceValues)
{
    const char digits[] = "123456789";
    EXPECT_EQ(0xCBF43926u, PngCrc32(reinterpret_cast<const uint8_t*>(digits), 9));
    const char word[] = "Wikipedia";
    EXPECT_EQ(0x11E60398u, Adler32(reinterpret_cast<const uint8_t*>(word), 9));
    // Running sums continue where they stopped.
    EXPECT_EQ(PngCrc32(reinterpret_cast<const uint8_t*>(digits), 9),
              PngCrc32(reinterpret_cast<const uint8_t*>(digits) + 4, 5,
                       PngCrc32(reinterpret_cast<const uint8_t*>(digits), 4)));
}

TEST(PngWriterTest, SmallAndMultiBlockImagesDecodeToTheSamePixels)
{
    for (const PngImage& image : {Gradient(1, 1, PngColour::kRgb), Gradient(7, 3, PngColour::kRgba),
                                  Gradient(300, 200, PngColour::kRgb), Gradient(256, 128, PngColour::kRgba)}) {
        const PngImage back = Decode(EncodePng(image));
        EXPECT_EQ(image.width, back.width);
        EXPECT_EQ(image.height, back.height);
        EXPECT_EQ(image.colour, back.colour);
        EXPECT_EQ(image.pixels, back.pixels);
    }
}

TEST(PngWriterTest, InconsistentImagesAreRefused)
{
    EXPECT_TRUE(EncodePng({0, 0, PngColour::kRgb, {}}).empty());
    EXPECT_TRUE(EncodePng({2, 2, PngColour::kRgb, std::vector<uint8_t>(11)}).empty());
    EXPECT_TRUE(EncodePng({2, 2, PngColour::kRgba, std::vector<uint8_t>(12)}).empty());
    EXPECT_FALSE(WritePng("/nonexistent-dir/x.png", Gradient(2, 2, PngColour::kRgb)));
}

TEST(PngWriterTest, WritesTheFile)
{
    const std::string path = testing::TempDir() + "png_writer_test.png";
    const PngImage image = Gradient(5, 4, PngColour::kRgb);
    ASSERT_TRUE(WritePng(path, image));
    std::FILE* file = std::fopen(path.c_str(), "rb");
    ASSERT_NE(file, nullptr);
    std::vector<uint8_t> bytes(4096);
    bytes.resize(std::fread(bytes.data(), 1, bytes.size(), file));
    std::fclose(file);
    std::remove(path.c_str());
    EXPECT_EQ(EncodePng(image), bytes);
}

}  // namespace
