#pragma once
// Whether the machine can play a sound at all, so the sound option stays off without one.

#include <string>

namespace yl {

// True when the sound device directory (normally /dev/snd) holds a playback device.
bool HasSoundOutput(const std::string& device_dir = "/dev/snd");

}  // namespace yl
