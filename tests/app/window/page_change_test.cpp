// Leaving a page commits its edits or refuses to go: the demo's setup with one fault at a
// time.

#include "app/window/page_change.h"

#include <gtest/gtest.h>

#include <functional>
#include <ostream>

#include "app/demo_support.h"
#include "platform/paths.h"
#include "support/scripted_prompter.h"

namespace yl::testing {
namespace {

struct LeaveCase {
  const char* what;
  Page from;
  std::function<void(Session&)> spoil;
  bool leaves;
  int topic;  // of the message shown; 0: none
};

void PrintTo(const LeaveCase& c, std::ostream* os) { *os << c.what; }

// A shock file that reads the Model/Data page's parameter file.
void Clash(Session& s) {
  WriteFileBytes(JoinPath(s.sim.SimDir, "base.bsh"),
                 "shock y = file PARAMS.har header \"DEPR\" ;\n");
}

const LeaveCase kCases[] = {
    {"clean Model/Data", Page::kModelData, nullptr, true, 0},
    {"clash from Model/Data", Page::kModelData, Clash, false, kHelpShortNameClash},
    {"clash from Closure/Shock", Page::kClosureShock, Clash, false, kHelpShortNameClash},
    {"clash is no matter of Sim Overview", Page::kSimOverview, Clash, true, 0},
    {"periods past 9999", Page::kSimOverview,
     [](Session& s) {
       s.sim.FirstYear = 9995;
       s.sim.LengthPeriods[1] = 2;
     },
     false, 0},
    {"lagged input lagging nothing", Page::kOtherFiles,
     [](Session& s) {
       s.sim.DinFiles[1].Role = kLaggedInput;
       s.sim.DinFiles[1].LagOf = 0;
     },
     true, kHelpDinProblem},
};

class PageChangeTest : public DemoWorkTest, public ::testing::WithParamInterface<LeaveCase> {};

TEST_P(PageChangeTest, LeavingRefusesOrWarns) {
  const LeaveCase& c = GetParam();
  ScriptedPrompter p;
  Session session = LoadSession(p);
  p.messages.clear();
  if (c.spoil) c.spoil(session);
  EXPECT_EQ(LeavePage(c.from, session, p), c.leaves);
  if (c.topic) {
    ASSERT_FALSE(p.messages.empty());
    EXPECT_EQ(p.Last().help_topic, c.topic) << p.Last().text;
  } else if (c.leaves) {
    EXPECT_TRUE(p.messages.empty()) << p.Last().text;
  } else {
    EXPECT_FALSE(p.messages.empty());
  }
}

INSTANTIATE_TEST_SUITE_P(Pages, PageChangeTest, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<LeaveCase>& info) {
                           std::string name;
                           for (const char* s = info.param.what; *s; ++s) {
                             if (std::isalnum(static_cast<unsigned char>(*s))) name += *s;
                           }
                           return name;
                         });

}  // namespace
}  // namespace yl::testing
