#include "platform/sound_output.h"

#include <gtest/gtest.h>

#include "support/scratch_dir.h"

namespace yl {
namespace {

using testing::ScratchDir;

TEST(SoundOutput, OnlyAPlaybackDeviceCounts) {
  ScratchDir d;
  EXPECT_FALSE(HasSoundOutput(d / "missing"));
  d.Write("controlC0", "");
  d.Write("pcmC0D0c", "");  // capture only
  EXPECT_FALSE(HasSoundOutput(d.path()));
  d.Write("pcmC0D0p", "");
  EXPECT_TRUE(HasSoundOutput(d.path()));
}

}  // namespace
}  // namespace yl
