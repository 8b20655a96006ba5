#include "devserver/demopictures.h"

#include <cmath>

namespace devserver {

namespace {

void Put(RgbImage& img, int x, int y, int r, int g, int b) {
    unsigned char* p = img.pixels.data() + (static_cast<size_t>(y) * img.width + x) * 3;
    p[0] = static_cast<unsigned char>(r < 0 ? 0 : r > 255 ? 255 : r);
    p[1] = static_cast<unsigned char>(g < 0 ? 0 : g > 255 ? 255 : g);
    p[2] = static_cast<unsigned char>(b < 0 ? 0 : b > 255 ? 255 : b);
}

RgbImage Blank(int width, int height) {
    RgbImage img;
    img.width = width;
    img.height = height;
    img.pixels.assign(static_cast<size_t>(width) * height * 3, 0);
    return img;
}

}  // namespace

RgbImage DrawDemoPicture(DemoPicture kind, int width, int height) {
    RgbImage img = Blank(width, height);
    for (int y = 0; y < height; ++y) {
        double fy = static_cast<double>(y) / height;
        for (int x = 0; x < width; ++x) {
            double fx = static_cast<double>(x) / width;
            switch (kind) {
                case DemoPicture::kSunset: {
                    double d = std::hypot(fx - 0.5, fy - 0.62);
                    if (d < 0.12) {
                        Put(img, x, y, 255, 230, 120);
                    } else if (fy > 0.7) {
                        Put(img, x, y, 40, 30 + static_cast<int>(40 * fy), 80);
                    } else {
                        Put(img, x, y, 250, static_cast<int>(90 + 120 * fy),
                            static_cast<int>(120 * (1 - fy)));
                    }
                    break;
                }
                case DemoPicture::kMountains: {
                    double ridge1 = 0.55 + 0.12 * std::sin(fx * 9.0) + 0.05 * std::sin(fx * 23.0);
                    double ridge2 = 0.7 + 0.08 * std::sin(fx * 5.0 + 1.0);
                    if (fy > ridge2) {
                        Put(img, x, y, 40, 90, 50);
                    } else if (fy > ridge1) {
                        Put(img, x, y, 90, 100, 130);
                    } else {
                        Put(img, x, y, 110, static_cast<int>(160 + 60 * fy), 240);
                    }
                    break;
                }
                case DemoPicture::kTiles: {
                    int cell = ((x * 8 / width) + (y * 8 / height)) % 2;
                    int hue = (x * 8 / width) * 30;
                    Put(img, x, y, cell ? 240 - hue : 30 + hue, cell ? 80 + hue : 200, cell ? 60 : 255 - hue);
                    break;
                }
                case DemoPicture::kBeach: {
                    double shore = 0.6 + 0.03 * std::sin(fx * 14.0);
                    if (fy < 0.4) {
                        Put(img, x, y, 150, 200, 250);
                    } else if (fy < shore) {
                        Put(img, x, y, 20, static_cast<int>(110 + 80 * fy), 180);
                    } else {
                        Put(img, x, y, 235, 210, 160);
                    }
                    break;
                }
            }
        }
    }
    return img;
}

RgbImage DrawPlaceholder(int width, int height) {
    RgbImage img = Blank(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            bool frame = x < 2 || y < 2 || x >= width - 2 || y >= height - 2;
            int v = frame ? 150 : 215;
            Put(img, x, y, v, v, v);
        }
    }
    return img;
}

}  // namespace devserver
