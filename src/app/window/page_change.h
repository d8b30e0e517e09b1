#pragma once
// The six pages of the window and what leaving or entering one checks.

#include <array>
#include <string>

#include "app/session.h"
#include "core/prompter.h"
#include "model/din_file.h"

namespace yl {

enum class Page { kIntroduction, kModelData, kSimOverview, kClosureShock, kResults, kOtherFiles };
inline constexpr int kPageCount = 6;

struct PageInfo {
  const char* caption;
  int help_topic;
};
inline constexpr std::array<PageInfo, kPageCount> kPages{{{"Introduction", 599},
                                                          {"Model/Data", 5432},
                                                          {"Sim Overview", 7009},
                                                          {"Closure/Shock", 7015},
                                                          {"Results", 7021},
                                                          {"Other files", 7012}}};
inline constexpr int kHelpShortNameClash = 7154;

// False when the user must stay on the page (its error has been shown). Leaving the
// Other files page always succeeds, after saying what is wrong with the DIN file.
bool LeavePage(Page from, Session& session, Prompter& prompter);

}  // namespace yl
