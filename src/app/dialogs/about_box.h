#pragma once
// The About box: what this program is and where it runs from. Clicking its icon while it
// is open is the way into developer mode; closing it without a click is the way out.

#include <string>
#include <vector>

namespace yl {

struct AboutFacts {
  std::string version;     // "0.1.0"
  std::string release;     // the release month and year, "December 2026"
  std::string build_date;  // "11-Dec-2026"
  std::string exe_path;
  unsigned cpus = 1;
};

// The facts of this build and this machine.
AboutFacts ThisProgramFacts();

// "Version 0.1.0 December 2026   (built 11-Dec-2026)"
std::string AboutVersionLine(const AboutFacts& facts);
// "[Detected 1 CPU.]" or "[Detected 4 CPUs.]"
std::string DetectedCpusLine(unsigned cpus);
// The box's text lines from the top, after the display name.
std::vector<std::string> AboutLines(const AboutFacts& facts);

class AboutBox {
 public:
  explicit AboutBox(bool developer_mode) : was_on_(developer_mode) {}
  // The icon was clicked (the window beeps).
  void IconClicked() { clicked_ = true; }
  bool icon_clicked() const { return clicked_; }

  struct Closing {
    bool developer_mode = false;
    std::string notice;  // shown as information when not empty
  };
  // Developer mode when the box has closed, and what to tell about a change.
  Closing Close() const;

 private:
  bool was_on_;
  bool clicked_ = false;
};

}  // namespace yl
