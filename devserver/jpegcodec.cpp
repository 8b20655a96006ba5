#include "devserver/jpegcodec.h"

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

namespace devserver {

namespace {

// libjpeg reports errors by exit(); jump back out instead.
struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
};

void OnError(j_common_ptr info) {
    std::longjmp(reinterpret_cast<ErrorManager*>(info->err)->jump, 1);
}

void OnMessage(j_common_ptr) {}

}  // namespace

bool DecodeJpeg(const std::string& bytes, int minWidth, int minHeight, RgbImage* image) {
    if (bytes.size() < 4 || static_cast<unsigned char>(bytes[0]) != 0xFF ||
        static_cast<unsigned char>(bytes[1]) != 0xD8) {
        return false;
    }
    jpeg_decompress_struct info;
    ErrorManager err;
    info.err = jpeg_std_error(&err.base);
    err.base.error_exit = OnError;
    err.base.output_message = OnMessage;
    RgbImage out;
    if (setjmp(err.jump)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(bytes.data()),
                 static_cast<unsigned long>(bytes.size()));
    if (jpeg_read_header(&info, TRUE) != JPEG_HEADER_OK || info.image_width > 20000 ||
        info.image_height > 20000) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    info.out_color_space = JCS_RGB;
    info.scale_num = 1;
    info.scale_denom = 1;
    while (info.scale_denom < 8 && static_cast<int>(info.image_width / (info.scale_denom * 2)) >= minWidth &&
           static_cast<int>(info.image_height / (info.scale_denom * 2)) >= minHeight) {
        info.scale_denom *= 2;
    }
    jpeg_start_decompress(&info);
    out.width = static_cast<int>(info.output_width);
    out.height = static_cast<int>(info.output_height);
    out.pixels.resize(static_cast<size_t>(out.width) * out.height * 3);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = out.pixels.data() + static_cast<size_t>(info.output_scanline) * out.width * 3;
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    *image = std::move(out);
    return true;
}

bool EncodeJpeg(const RgbImage& image, int quality, std::string* bytes) {
    if (image.width <= 0 || image.height <= 0 ||
        image.pixels.size() != static_cast<size_t>(image.width) * image.height * 3) {
        return false;
    }
    jpeg_compress_struct info;
    ErrorManager err;
    info.err = jpeg_std_error(&err.base);
    err.base.error_exit = OnError;
    err.base.output_message = OnMessage;
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    if (setjmp(err.jump)) {
        jpeg_destroy_compress(&info);
        std::free(buffer);
        return false;
    }
    jpeg_create_compress(&info);
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = static_cast<JDIMENSION>(image.width);
    info.image_height = static_cast<JDIMENSION>(image.height);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<unsigned char*>(image.pixels.data()) +
                       static_cast<size_t>(info.next_scanline) * image.width * 3;
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    bytes->assign(reinterpret_cast<char*>(buffer), size);
    jpeg_destroy_compress(&info);
    std::free(buffer);
    return true;
}

RgbImage ScaleToFit(const RgbImage& image, int width, int height) {
    RgbImage out;
    if (image.width <= 0 || image.height <= 0 || width <= 0 || height <= 0) {
        return out;
    }
    // Fit: the limiting side gets the full box size.
    if (static_cast<int64_t>(image.width) * height >= static_cast<int64_t>(image.height) * width) {
        out.width = width;
        out.height = static_cast<int>(static_cast<int64_t>(image.height) * width / image.width);
    } else {
        out.height = height;
        out.width = static_cast<int>(static_cast<int64_t>(image.width) * height / image.height);
    }
    out.width = out.width < 1 ? 1 : out.width;
    out.height = out.height < 1 ? 1 : out.height;
    out.pixels.resize(static_cast<size_t>(out.width) * out.height * 3);
    for (int y = 0; y < out.height; ++y) {
        int y0 = static_cast<int>(static_cast<int64_t>(y) * image.height / out.height);
        int y1 = static_cast<int>(static_cast<int64_t>(y + 1) * image.height / out.height);
        y1 = y1 > y0 ? y1 : y0 + 1;
        for (int x = 0; x < out.width; ++x) {
            int x0 = static_cast<int>(static_cast<int64_t>(x) * image.width / out.width);
            int x1 = static_cast<int>(static_cast<int64_t>(x + 1) * image.width / out.width);
            x1 = x1 > x0 ? x1 : x0 + 1;
            uint64_t sum[3] = {0, 0, 0};
            for (int sy = y0; sy < y1; ++sy) {
                const unsigned char* p =
                    image.pixels.data() + (static_cast<size_t>(sy) * image.width + x0) * 3;
                for (int sx = x0; sx < x1; ++sx, p += 3) {
                    sum[0] += p[0];
                    sum[1] += p[1];
                    sum[2] += p[2];
                }
            }
            uint64_t count = static_cast<uint64_t>(y1 - y0) * (x1 - x0);
            unsigned char* q = out.pixels.data() + (static_cast<size_t>(y) * out.width + x) * 3;
            for (int c = 0; c < 3; ++c) {
                q[c] = static_cast<unsigned char>(sum[c] / count);
            }
        }
    }
    return out;
}

}  // namespace devserver
