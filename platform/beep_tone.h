// The beep that backends with an audio device play: 100 ms of 880 Hz at 0.3
// of full scale, faded in and out over 10 ms so that it does not click.
#pragma once

#include <cstddef>

namespace platform {

// The beep's length in frames at sampleRate frames per second.
size_t BeepToneFrames(int sampleRate);

// Sample frame of the beep at sampleRate, from -0.3 to 0.3; 0 past its end.
double BeepToneSample(size_t frame, int sampleRate);

}  // namespace platform
