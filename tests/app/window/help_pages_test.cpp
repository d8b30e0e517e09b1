// Every help topic the window opens has its page in docs/help, and the page list names
// every page there.

#include "app/window/help_pages.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>

#include "app/commands/accuracy_command.h"
#include "app/commands/sol_method_menu.h"
#include "app/run_preferences.h"
#include "app/window/page_change.h"
#include "app/window/window_commands.h"
#include "ratex/re_files.h"

namespace yl {
namespace {

const std::string kHelpDir = std::string(YL_TEST_DATA_DIR) + "/../../docs/help";

TEST(HelpPages, EveryTopicTheWindowOpensHasAPage) {
  std::vector<int> topics = {kHelpContents,
                             kHelpWhatsNew,
                             kHelpJobPanel,
                             kHelpFileMenu,
                             kHelpViewMenu,
                             kHelpZipMenu,
                             kHelpOptionsMenu,
                             kHelpRunPreferences,
                             kHelpDeleteTempDir,
                             kHelpFewerMessages,
                             kHelpVisibleLogs,

                             kHelpShortNameClash,
                             kHelpDinProblem,
                             kHelpSolutionMethods,
                             kHelpAccuracySummaries,
                             7073,
                             7087,
                             ratex::kHelpRationalExpectations};
  for (const PageInfo& p : kPages) topics.push_back(p.help_topic);
  const std::vector<std::string> dirs = {"/nowhere", kHelpDir};
  for (int topic : topics) EXPECT_NE(HelpPagePath(dirs, topic), "") << topic;
  EXPECT_EQ(HelpPagePath(dirs, 1), "");
}

TEST(HelpPages, TheTopicListNamesEveryPage) {
  std::set<std::string> listed;
  std::ifstream list(kHelpDir + "/topics.txt");
  ASSERT_TRUE(list);
  for (std::string line; std::getline(list, line);) {
    if (!line.empty()) listed.insert(line.substr(0, line.find('\t')) + ".html");
  }
  std::set<std::string> pages;
  for (const auto& e : std::filesystem::directory_iterator(kHelpDir)) {
    if (e.path().extension() == ".html") pages.insert(e.path().filename().string());
  }
  EXPECT_EQ(listed, pages);
}

}  // namespace
}  // namespace yl
