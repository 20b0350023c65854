// The menu sounds, synthesised from sine partials and written as complete
// PCM WAVE files. The output depends only on this code, so every run and every
// build produces the same bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct GeneratedSound {
    std::string fileName;        // name inside the sounds folder, e.g. "click.wav"
    std::vector<uint8_t> bytes;  // the whole file: 44-byte header, then the samples
};

// click.wav    cursor moved, message window closed   22050 Hz 16-bit stereo
// cansel.wav   item list closed                      22050 Hz 16-bit stereo
// open.wav     item list opened                      22050 Hz 16-bit stereo
// incorrect.wav  cursor bumped into the list's end   22050 Hz 8-bit mono
// Returned in that order.
std::vector<GeneratedSound> SoundsGenerate();
