// Writes 8-bit pictures as one looping animated GIF, and reads such a GIF
// back: the recordings of the capture tool and the tests that check them.
//
// Every picture is written in its own 256 colours, byte for byte: the first
// picture's colours are the GIF's global table, and a picture whose colours
// differ from it carries them as a table of its own. After the first, a
// picture holds only the rectangle that changed since the one before it
// (the whole picture when its colours changed), and a picture identical to
// the one before is not written at all: the one before is shown longer.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace gif_io {

// The longest delay one GIF picture can hold, in milliseconds (65535 of the
// format's hundredths of a second).
constexpr uint32_t GIF_MAX_DELAY_MS = 655350;

struct GifRecording;

// Starts a recording into path in which every picture is shown for delayMs
// (1..GIF_MAX_DELAY_MS). The format counts in hundredths of a second; the
// delays are rounded so that the running time stays true: picture k (from
// 0) ends at (k + 1) * delayMs rounded to the nearest 10 ms, so 33 ms gives
// 30, 40, 30, 30, 40, 30... ms. Nothing appears at path until
// GifRecordingFinish succeeds; the recording writes to a file beside it.
// Null, with *error set, when that file cannot be made.
GifRecording* GifRecordingOpen(const std::string& path, uint32_t delayMs, std::string* error);

// Adds a picture of width x height bytes, stride bytes a row, coloured by
// argb (256 entries, 0xAARRGGBB; the alpha is not kept). Every picture has
// the size of the first. False, with *error set, when it cannot be written;
// the recording is then only to be discarded.
bool GifRecordingAdd(GifRecording* recording, const uint8_t* pixels, int stride, int width,
                     int height, const uint32_t argb[256], std::string* error);

// Writes the last picture and the end, moves the file to its path and frees
// the recording. False, with *error set and nothing left at path, when any
// of that fails or no picture was added.
bool GifRecordingFinish(GifRecording* recording, std::string* error);

// Frees the recording and removes what it wrote. Null is allowed.
void GifRecordingDiscard(GifRecording* recording);

// One picture of a GIF as stored: its rectangle, whether it has a colour
// table of its own and its delay; and the whole picture shown once it is
// drawn over the ones before, as RGB.
struct GifPicture {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool ownColours = false;
    int delayCs = 0;           // hundredths of a second
    std::vector<uint8_t> rgb;  // the whole screen, 3 bytes a pixel, top row first
};

struct GifMovie {
    int width = 0;
    int height = 0;
    int loops = -1;  // the looping extension's count (0: for ever); -1 without one
    std::vector<GifPicture> pictures;
};

// Reads the GIF at path, drawing each picture over the ones before it.
// Pictures that ask to be cleared or restored after they are shown are
// refused: the recordings never ask that. False, with *error set, on failure.
bool ReadGif(const std::string& path, GifMovie* movie, std::string* error);

}  // namespace gif_io
