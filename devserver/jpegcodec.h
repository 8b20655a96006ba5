#pragma once
// JPEG decode and encode for previews and the demo pictures.
#include <string>
#include <vector>

namespace devserver {

// 8-bit RGB pixels, rows top to bottom.
struct RgbImage {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> pixels;  // width * height * 3
};

// Decodes a JPEG; a large picture is reduced while decoding (the decoder's
// 1/2, 1/4, 1/8 steps) as long as it stays at least minWidth x minHeight.
bool DecodeJpeg(const std::string& bytes, int minWidth, int minHeight, RgbImage* image);
bool EncodeJpeg(const RgbImage& image, int quality, std::string* bytes);
// Scales to fit inside width x height, keeping the aspect ratio (area average).
RgbImage ScaleToFit(const RgbImage& image, int width, int height);

}  // namespace devserver
