#include "tools/png/png_io.h"

#include <png.h>

namespace png_io {

bool WriteRgbPng(const std::string& path, const RgbImage& image, std::string* error) {
    if (image.width <= 0 || image.height <= 0 ||
        image.rgb.size() != static_cast<size_t>(image.width) * image.height * 3) {
        *error = "the image's size does not match its pixels";
        return false;
    }
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    png.width = static_cast<png_uint_32>(image.width);
    png.height = static_cast<png_uint_32>(image.height);
    png.format = PNG_FORMAT_RGB;
    if (png_image_write_to_file(&png, path.c_str(), 0, image.rgb.data(), 0, nullptr) == 0) {
        *error = path + ": " + png.message;
        return false;
    }
    return true;
}

bool ReadRgbPng(const std::string& path, RgbImage* image, std::string* error) {
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    if (png_image_begin_read_from_file(&png, path.c_str()) == 0) {
        *error = path + ": " + png.message;
        return false;
    }
    png.format = PNG_FORMAT_RGB;
    image->width = static_cast<int>(png.width);
    image->height = static_cast<int>(png.height);
    image->rgb.assign(PNG_IMAGE_SIZE(png), 0);
    if (png_image_finish_read(&png, nullptr, image->rgb.data(), 0, nullptr) == 0) {
        *error = path + ": " + png.message;
        png_image_free(&png);
        return false;
    }
    return true;
}

}  // namespace png_io
