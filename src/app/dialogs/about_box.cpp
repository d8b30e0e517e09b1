#include "app/dialogs/about_box.h"

#include <thread>

#include "env/environment.h"

namespace yl {

AboutFacts ThisProgramFacts() {
  AboutFacts f;
#ifdef YL_VERSION
  f.version = YL_VERSION;
#endif
#ifdef YL_RELEASE
  f.release = YL_RELEASE;
#endif
#ifdef YL_BUILD_DATE
  f.build_date = YL_BUILD_DATE;
#endif
  f.exe_path = ProgramPath();
  // hardware_concurrency may say 0 when it cannot tell; there is at least the one we run on.
  f.cpus = std::max(1u, std::thread::hardware_concurrency());
  return f;
}

std::string AboutVersionLine(const AboutFacts& facts) {
  std::string line = "Version " + facts.version;
  if (!facts.release.empty()) line += " " + facts.release;
  if (!facts.build_date.empty()) line += "   (built " + facts.build_date + ")";
  return line;
}

std::string DetectedCpusLine(unsigned cpus) {
  return cpus == 1 ? "[Detected 1 CPU.]" : "[Detected " + std::to_string(cpus) + " CPUs.]";
}

std::vector<std::string> AboutLines(const AboutFacts& facts) {
  return {"For Linux.", AboutVersionLine(facts), facts.exe_path, DetectedCpusLine(facts.cpus)};
}

AboutBox::Closing AboutBox::Close() const {
  Closing c;
  c.developer_mode = clicked_;
  if (clicked_) {
    c.notice = "Going into Developer mode (be careful).";
  } else if (was_on_) {
    c.notice = "[No longer in Developer mode.]";
  }
  return c;
}

}  // namespace yl
