#include "platform/sound_output.h"

#include "platform/dir_list.h"

namespace yl {

bool HasSoundOutput(const std::string& device_dir) {
  const auto entries = ListDirectory(device_dir);
  if (!entries) return false;
  // ALSA names playback streams "pcmC{card}D{device}p".
  for (const DirEntry& e : *entries) {
    if (e.name.starts_with("pcmC") && e.name.ends_with("p")) return true;
  }
  return false;
}

}  // namespace yl
