#include "tools/gif/gif_io.h"

#include <fcntl.h>
#include <gif_lib.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace gif_io {

namespace {

constexpr int GIF_MAX_DELAY_CS = 65535;

// Where a picture differs from the one before it.
struct Rect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

// A colour table as the GIF holds it: RGB only.
bool SameColours(const uint32_t* a, const uint32_t* b) {
    for (int i = 0; i < 256; ++i) {
        if (((a[i] ^ b[i]) & 0xFFFFFFu) != 0) {
            return false;
        }
    }
    return true;
}

// The smallest rectangle holding every byte in which a and b (width x
// height, width bytes a row) differ; empty when they are the same.
Rect ChangedRect(const uint8_t* a, const uint8_t* b, int width, int height) {
    int top = 0;
    while (top < height && std::memcmp(a + top * width, b + top * width, width) == 0) {
        ++top;
    }
    if (top == height) {
        return {};
    }
    int bottom = height;
    while (std::memcmp(a + (bottom - 1) * width, b + (bottom - 1) * width, width) == 0) {
        --bottom;
    }
    int left = width;
    int right = 0;
    for (int y = top; y < bottom; ++y) {
        const uint8_t* ra = a + y * width;
        const uint8_t* rb = b + y * width;
        int x = 0;
        while (x < left && ra[x] == rb[x]) {
            ++x;
        }
        left = std::min(left, x);
        int end = width;
        while (end > right && ra[end - 1] == rb[end - 1]) {
            --end;
        }
        right = std::max(right, end);
    }
    return {left, top, right - left, bottom - top};
}

std::string GifError(const std::string& path, int code) {
    const char* text = GifErrorString(code);
    return path + ": " + (text != nullptr ? text : "GIF error " + std::to_string(code));
}

}  // namespace

struct GifRecording {
    std::string path;
    std::string partPath;  // written, then renamed to path
    uint32_t delayMs = 0;
    GifFileType* gif = nullptr;
    int width = 0;
    int height = 0;
    uint32_t globalColours[256] = {};
    // The newest picture added, not yet written: its bytes and colours, the
    // rectangle that changed, and the pictures added in all (it stands for
    // those from `pendingFirst` on).
    std::vector<uint8_t> pixels;
    uint32_t colours[256] = {};
    Rect pending;
    uint64_t pendingFirst = 0;
    uint64_t added = 0;
};

namespace {

ColorMapObject* MakeColourMap(const uint32_t argb[256]) {
    GifColorType colours[256];
    for (int i = 0; i < 256; ++i) {
        colours[i].Red = static_cast<GifByteType>(argb[i] >> 16);
        colours[i].Green = static_cast<GifByteType>(argb[i] >> 8);
        colours[i].Blue = static_cast<GifByteType>(argb[i]);
    }
    return GifMakeMapObject(256, colours);
}

// Writes rect of the recording's current picture, shown for delayCs.
bool WriteImage(GifRecording* r, const Rect& rect, int delayCs, std::string* error) {
    GraphicsControlBlock control{};
    control.DisposalMode = DISPOSE_DO_NOT;  // the next picture draws over this one
    control.UserInputFlag = false;
    control.DelayTime = delayCs;
    control.TransparentColor = NO_TRANSPARENT_COLOR;
    GifByteType extension[4];
    EGifGCBToExtension(&control, extension);
    ColorMapObject* own = nullptr;
    if (!SameColours(r->colours, r->globalColours)) {
        own = MakeColourMap(r->colours);
        if (own == nullptr) {
            *error = r->path + ": out of memory";
            return false;
        }
    } else if (r->gif->Image.ColorMap != nullptr) {
        // giflib keeps a copy of the last picture's own table and forgets it
        // without freeing it when the next picture has none.
        GifFreeMapObject(r->gif->Image.ColorMap);
        r->gif->Image.ColorMap = nullptr;
    }
    bool ok =
        EGifPutExtension(r->gif, GRAPHICS_EXT_FUNC_CODE, sizeof extension, extension) == GIF_OK &&
        EGifPutImageDesc(r->gif, rect.left, rect.top, rect.width, rect.height, false, own) ==
            GIF_OK;
    GifFreeMapObject(own);
    for (int y = rect.top; ok && y < rect.top + rect.height; ++y) {
        ok = EGifPutLine(r->gif, &r->pixels[static_cast<size_t>(y) * r->width + rect.left],
                         rect.width) == GIF_OK;
    }
    if (!ok) {
        *error = GifError(r->partPath, r->gif->Error);
    }
    return ok;
}

// Centiseconds from the start to the end of picture `count` - 1.
int64_t EndCs(uint64_t count, uint32_t delayMs) {
    return static_cast<int64_t>((count * delayMs + 5) / 10);
}

// Writes the pending picture, shown until the pictures added so far have
// all had their time. A time longer than one GIF picture can hold goes on in
// pictures of one unchanged pixel.
bool WritePending(GifRecording* r, std::string* error) {
    int64_t delay = EndCs(r->added, r->delayMs) - EndCs(r->pendingFirst, r->delayMs);
    Rect rect = r->pending;
    do {
        const int part = static_cast<int>(std::min<int64_t>(delay, GIF_MAX_DELAY_CS));
        if (!WriteImage(r, rect, part, error)) {
            return false;
        }
        delay -= part;
        rect = {0, 0, 1, 1};
    } while (delay > 0);
    return true;
}

bool WriteHeader(GifRecording* r, std::string* error) {
    ColorMapObject* global = MakeColourMap(r->globalColours);
    if (global == nullptr) {
        *error = r->path + ": out of memory";
        return false;
    }
    EGifSetGifVersion(r->gif, true);
    // The looping extension: repeat for ever.
    static const GifByteType NETSCAPE[] = {'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0'};
    static const GifByteType LOOP_FOR_EVER[] = {1, 0, 0};
    const bool ok = EGifPutScreenDesc(r->gif, r->width, r->height, 8, 0, global) == GIF_OK &&
                    EGifPutExtensionLeader(r->gif, APPLICATION_EXT_FUNC_CODE) == GIF_OK &&
                    EGifPutExtensionBlock(r->gif, sizeof NETSCAPE, NETSCAPE) == GIF_OK &&
                    EGifPutExtensionBlock(r->gif, sizeof LOOP_FOR_EVER, LOOP_FOR_EVER) == GIF_OK &&
                    EGifPutExtensionTrailer(r->gif) == GIF_OK;
    GifFreeMapObject(global);
    if (!ok) {
        *error = GifError(r->partPath, r->gif->Error);
    }
    return ok;
}

}  // namespace

GifRecording* GifRecordingOpen(const std::string& path, uint32_t delayMs, std::string* error) {
    if (delayMs == 0 || delayMs > GIF_MAX_DELAY_MS) {
        *error =
            "a GIF picture's delay must be from 1 to " + std::to_string(GIF_MAX_DELAY_MS) + " ms";
        return nullptr;
    }
    auto* r = new GifRecording;
    r->path = path;
    r->partPath = path + ".part-" + std::to_string(getpid());
    r->delayMs = delayMs;
    const int fd = open(r->partPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) {
        *error = r->partPath + ": " + std::strerror(errno);
        delete r;
        return nullptr;
    }
    int code = 0;
    r->gif = EGifOpenFileHandle(fd, &code);
    if (r->gif == nullptr) {
        close(fd);
        *error = GifError(r->partPath, code);
        GifRecordingDiscard(r);
        return nullptr;
    }
    return r;
}

bool GifRecordingAdd(GifRecording* r, const uint8_t* pixels, int stride, int width, int height,
                     const uint32_t argb[256], std::string* error) {
    if (r->added == 0) {
        if (width <= 0 || height <= 0 || width > 65535 || height > 65535) {
            *error = r->path + ": a GIF picture cannot be " + std::to_string(width) + "x" +
                     std::to_string(height);
            return false;
        }
        r->width = width;
        r->height = height;
        std::copy(argb, argb + 256, r->globalColours);
        std::copy(argb, argb + 256, r->colours);
        r->pixels.resize(static_cast<size_t>(width) * height);
        for (int y = 0; y < height; ++y) {
            std::memcpy(&r->pixels[static_cast<size_t>(y) * width], pixels + y * stride, width);
        }
        r->pending = {0, 0, width, height};
        r->added = 1;
        return WriteHeader(r, error);
    }
    if (width != r->width || height != r->height) {
        *error = r->path + ": a picture of " + std::to_string(width) + "x" +
                 std::to_string(height) + " in a recording of " + std::to_string(r->width) + "x" +
                 std::to_string(r->height);
        return false;
    }
    std::vector<uint8_t> next(r->pixels.size());
    for (int y = 0; y < height; ++y) {
        std::memcpy(&next[static_cast<size_t>(y) * width], pixels + y * stride, width);
    }
    // A change of colours changes every pixel the picture shows.
    const bool sameColours = SameColours(argb, r->colours);
    const Rect changed = sameColours ? ChangedRect(r->pixels.data(), next.data(), width, height)
                                     : Rect{0, 0, width, height};
    if (changed.width == 0) {
        r->added += 1;  // the pending picture is shown longer
        return true;
    }
    if (!WritePending(r, error)) {
        return false;
    }
    r->pixels.swap(next);
    std::copy(argb, argb + 256, r->colours);
    r->pending = changed;
    r->pendingFirst = r->added;
    r->added += 1;
    return true;
}

bool GifRecordingFinish(GifRecording* r, std::string* error) {
    if (r->added == 0) {
        *error = r->path + ": no picture was recorded";
        GifRecordingDiscard(r);
        return false;
    }
    if (!WritePending(r, error)) {
        GifRecordingDiscard(r);
        return false;
    }
    int code = 0;
    const int closed = EGifCloseFile(r->gif, &code);
    r->gif = nullptr;
    if (closed != GIF_OK) {
        *error = GifError(r->partPath, code);
        GifRecordingDiscard(r);
        return false;
    }
    if (std::rename(r->partPath.c_str(), r->path.c_str()) != 0) {
        *error = r->path + ": " + std::strerror(errno);
        GifRecordingDiscard(r);
        return false;
    }
    delete r;
    return true;
}

void GifRecordingDiscard(GifRecording* r) {
    if (r == nullptr) {
        return;
    }
    if (r->gif != nullptr) {
        EGifCloseFile(r->gif, nullptr);
    }
    std::remove(r->partPath.c_str());
    delete r;
}

bool ReadGif(const std::string& path, GifMovie* movie, std::string* error) {
    int code = 0;
    GifFileType* gif = DGifOpenFileName(path.c_str(), &code);
    if (gif == nullptr) {
        *error = GifError(path, code);
        return false;
    }
    if (DGifSlurp(gif) != GIF_OK) {
        *error = GifError(path, gif->Error);
        DGifCloseFile(gif, nullptr);
        return false;
    }
    *movie = {};
    movie->width = gif->SWidth;
    movie->height = gif->SHeight;
    std::vector<uint8_t> screen(static_cast<size_t>(movie->width) * movie->height * 3, 0);
    bool ok = true;
    for (int i = 0; ok && i < gif->ImageCount; ++i) {
        const SavedImage& image = gif->SavedImages[i];
        // The looping extension sits before the first picture.
        for (int e = 0; i == 0 && e + 1 < image.ExtensionBlockCount; ++e) {
            const ExtensionBlock& app = image.ExtensionBlocks[e];
            const ExtensionBlock& data = image.ExtensionBlocks[e + 1];
            if (app.Function == APPLICATION_EXT_FUNC_CODE && app.ByteCount == 11 &&
                std::memcmp(app.Bytes, "NETSCAPE2.0", 11) == 0 && data.ByteCount == 3 &&
                data.Bytes[0] == 1) {
                movie->loops = data.Bytes[1] | data.Bytes[2] << 8;
            }
        }
        GraphicsControlBlock control{};
        control.TransparentColor = NO_TRANSPARENT_COLOR;
        DGifSavedExtensionToGCB(gif, i, &control);
        const GifImageDesc& desc = image.ImageDesc;
        const ColorMapObject* map = desc.ColorMap != nullptr ? desc.ColorMap : gif->SColorMap;
        if (control.DisposalMode > DISPOSE_DO_NOT || desc.Interlace || map == nullptr ||
            desc.Left < 0 || desc.Top < 0 || desc.Left + desc.Width > movie->width ||
            desc.Top + desc.Height > movie->height) {
            *error = path + ": picture " + std::to_string(i) +
                     " is not one this reader draws (disposal, interlace, no colours or outside "
                     "the screen)";
            ok = false;
            break;
        }
        for (int y = 0; ok && y < desc.Height; ++y) {
            for (int x = 0; x < desc.Width; ++x) {
                const int index = image.RasterBits[y * desc.Width + x];
                if (index == control.TransparentColor) {
                    continue;
                }
                if (index >= map->ColorCount) {
                    *error = path + ": picture " + std::to_string(i) + " uses a colour it lacks";
                    ok = false;
                    break;
                }
                uint8_t* rgb =
                    &screen[(static_cast<size_t>(desc.Top + y) * movie->width + desc.Left + x) * 3];
                rgb[0] = map->Colors[index].Red;
                rgb[1] = map->Colors[index].Green;
                rgb[2] = map->Colors[index].Blue;
            }
        }
        GifPicture picture;
        picture.left = desc.Left;
        picture.top = desc.Top;
        picture.width = desc.Width;
        picture.height = desc.Height;
        picture.ownColours = desc.ColorMap != nullptr;
        picture.delayCs = control.DelayTime;
        picture.rgb = screen;
        movie->pictures.push_back(std::move(picture));
    }
    DGifCloseFile(gif, nullptr);
    return ok;
}

}  // namespace gif_io
