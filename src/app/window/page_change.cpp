#include "app/window/page_change.h"

#include "app/pages/sim_overview.h"
#include "app/tasks.h"
#include "model/first_year_list.h"
#include "sim/sim_editing.h"

namespace yl {

bool LeavePage(Page from, Session& session, Prompter& prompter) {
  switch (from) {
    case Page::kSimOverview: {
      // The table follows the years; longer periods must still end by 9999.
      TSimRecord& sim = session.sim;
      if (!TableSetup(sim, session.settings.options.NoRerun, prompter)) return false;
      return AllPeriodsOneYear(sim) || EndYearCheck(sim, prompter).Accepted;
    }
    case Page::kModelData:
    case Page::kClosureShock: {
      // Files that have gone show as "??" on the way out; no questions here.
      if (from == Page::kModelData) {
        (void)FirstYearFilesComplete(session.settings.first_year_files, session.sim.SimDir);
      }
      // One file may not be both first-year data and named inside a closure/shock file.
      const Status s = CheckShortNamesDataCMFBits(session.sim, session.settings.first_year_files);
      if (!s) {
        prompter.Error(s.error(), kHelpShortNameClash, kOk | kHelp);
        return false;
      }
      return true;
    }
    case Page::kOtherFiles: {
      if (session.settings.min_din.DinPath.empty()) return true;
      Notices notices;
      CheckDinAndReport(session.settings.min_din.DinPath, session.sim, notices, kHelpDinProblem);
      ShowAll(prompter, notices);
      return true;
    }
    default:
      return true;
  }
}

}  // namespace yl
