#include "app/commands/re_commands.h"

#include "app/commands/run_checks_commands.h"
#include "app/re_driver.h"
#include "core/text_util.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "sim/sim_naming.h"
#include "sim/sim_runs.h"

namespace yl {

namespace {

using ratex::kHelpRationalExpectations;

void Inform(Prompter& prompter, const std::string& text) {
  prompter.Information(text, kHelpRationalExpectations, kOk);
}

// Every year of the run, simulated and assembled.
void AddWholeRun(jobs::PlanRequest& r, int run, int num_years) {
  r.first_sim_year[run] = r.first_ss_year[run] = 1;
  r.last_sim_year[run] = r.last_ss_year[run] = num_years;
}

}  // namespace

bool StartReTaskCommand(AppController& app, Prompter& prompter, ReTaskKind kind) {
  Session& session = app.session();
  const SessionSettings& s = session.settings;
  if (!s.options.Re.DoRe) {
    Inform(prompter,
           "If you want to do Rational Expectations, you need to\r\ncheck the \"Do Rational "
           "Expectations ?\" box on the Sim Overview page.");
    return false;
  }
  std::vector<int> runs;
  if (kind == ReTaskKind::kBaseToPolicy) runs = {kBase, kRerun, kPolicy};
  if (kind == ReTaskKind::kBaseAndRerun) runs = {kBase, kRerun};
  if (kind == ReTaskKind::kRerunAndPolicy) runs = {kRerun, kPolicy};
  const int n = session.sim.NumYears;
  jobs::PlanRequest request = jobs::PlanRequest::Nothing(n);
  for (int r : runs) {
    if (r == kRerun && s.options.NoRerun) continue;
    AddWholeRun(request, r, n);
  }
  return app.StartReTask(request, FreshIterations(s, request));
}

bool ExtraIterationsCommand(AppController& app, Prompter& prompter, int run) {
  Session& session = app.session();
  const SessionSettings& s = session.settings;
  if (run == kRerun && !s.options.Re.SeveralIterationsOnRerun) {
    Inform(prompter,
           "This is only possible if your TAB file allows more than one iteration of Rerun.\r\n"
           "If so, please check the relevant menu item under the Rational Expectations menu.");
    return false;
  }
  const ratex::ReContext context = ReContextOf(session, QuietPolicyStart(session.sim, s));
  if (auto sets = ratex::SetUpREFiles(context); !sets) {
    prompter.Error(sets.error(), kHelpRationalExpectations);
    return false;
  }
  auto read = ratex::ReadIterationsDone(context, run);
  if (!read) {
    prompter.Error(read.error(), kHelpRationalExpectations);
    return false;
  }
  int done = *read;
  if (run == kRerun) done -= context.counts.Base;
  if (run == kPolicy) {
    done -= context.counts.Base + (context.no_rerun ? 0 : context.counts.Rerun);
  }
  const int wanted = context.counts.Of(run);
  const std::string head = "You have done " + std::to_string(done) +
                           " iterations.\r\nThe Sim Overview page indicates that you wish to do a "
                           "total of " +
                           std::to_string(wanted) + " iterations.\r\n";
  if (done >= wanted) {
    prompter.Information(head +
                         "This leaves no iterations to do.\r\nPlease adjust the Sim Overview page "
                         "if you want to do more iterations.");
    return false;
  }
  if (prompter.Show(MakeMessage(MessageKind::kConfirmation,
                                head + "Please click OK if this is correct or Cancel if it is not "
                                       "correct.",
                                kHelpRationalExpectations, kOk | kCancel)) != kOk) {
    return false;
  }
  ratex::IterationStates states{};
  states[run] = {wanted, done, done + 1, done + 1};
  jobs::PlanRequest request = jobs::PlanRequest::Nothing(session.sim.NumYears);
  AddWholeRun(request, run, session.sim.NumYears);
  return app.StartReTask(request, states);
}

std::string KeptFilePattern(const Session& session, int run, KeptReFile kind) {
  const TSimRecord& sim = session.sim;
  const bool no_rerun = session.settings.options.NoRerun;
  std::string stem;
  if (kind == KeptReFile::kConvergenceHar) {
    stem = IterationBaseName(sim, run, no_rerun) + "*.har";
  } else if (kind == KeptReFile::kRorext) {
    const int f = ratex::FindLogicalFile(sim, "ROREXT");
    if (f == 0) return "";
    stem = KeptUpdatedFileName(sim, f, run, no_rerun) + "*.har";
  } else {
    stem = KeptSpreadsheetName(sim, run, PartKind::kYonY, QuietPolicyStart(sim, session.settings),
                               no_rerun) +
           "*.csv";
  }
  return InSimDir(sim, stem);
}

void ViewKeptFilesCommand(const Session& session, Prompter& prompter, int run, KeptReFile kind,
                          const std::function<void(const std::string& path)>& open) {
  const std::string pattern = KeptFilePattern(session, run, kind);
  const char* word = kind == KeptReFile::kConvergenceHar ? "HAR"
                     : kind == KeptReFile::kRorext       ? "ROREXT"
                                                         : "CSV";
  const std::string name = FileNameOf(pattern);
  const std::string stem = name.substr(0, name.find('*'));
  if (pattern.empty() || !AnyFileMatching(session.sim.SimDir, name)) {
    Inform(prompter, std::string("Convergence ") + word + " Files for the " + RunWord(run) +
                         " are of the form \r\n   " + pattern + "\r\nThere are no such files.");
    return;
  }
  FileRequest r;
  r.title = std::string("Select Convergence ") + word + " File";
  r.filter = kind == KeptReFile::kCsv
                 ? "Conv. CSV Files (" + stem + "*.CSV)|" + stem + "*.csv"
                 : std::string("Conv. ") + word + " Files (" + stem + "*.har)|" + stem + "*.har";
  r.start_dir = session.sim.SimDir;
  r.help_topic = kHelpRationalExpectations;
  const std::vector<std::string> files = prompter.ChooseFiles(r);
  if (!files.empty() && open) open(files.front());
}

void ToggleReSetting(Session& session, Prompter& prompter, ReSettingItem item) {
  ReSettings& re = session.settings.options.Re;
  bool* flag = nullptr;
  std::string what;
  switch (item) {
    case ReSettingItem::kHarFiles:
      flag = &re.PrepareHar;
      what = " preserve Convergence HAR Files";
      break;
    case ReSettingItem::kRorextFiles:
      flag = &re.PrepareRorext;
      what = " preserve Convergence ROREXT Files";
      break;
    case ReSettingItem::kCsvFiles:
      flag = &re.PrepareCsv;
      what = " preserve Convergence CSV Files";
      break;
    case ReSettingItem::kStandardChecks:
      flag = &re.StandardChecks;
      what = " carry out standard CORVAN checks when doing rational expectations.";
      break;
    case ReSettingItem::kSeveralRerun:
      flag = &re.SeveralIterationsOnRerun;
      what = " allow more than one iteration when doing the Rerun under rational expectations.";
      break;
  }
  *flag = !*flag;
  std::string text = std::string(*flag ? "Will" : "Will not") + what;
  if (item == ReSettingItem::kSeveralRerun && *flag) {
    text += "\r\nNote that the TAB file for your model must also allow this.";
  }
  Inform(prompter, text);
}

void ToggleHideRationalExpectations(Session& session, Prompter& prompter) {
  Options& o = session.settings.options;
  if (!o.HideRe && o.Re.DoRe) {
    Inform(prompter,
           "Sorry. You cannot hide the Rational Expectations part of the\r\n Sim Overview page "
           "since the \"Do Rational Expectations?\" box is checked.");
    return;
  }
  o.HideRe = !o.HideRe;
}

void SetRerunIterations(Session& session, Prompter& prompter, int count) {
  ReSettings& re = session.settings.options.Re;
  int n = std::clamp(count, 1, 99);
  if (n >= 2 && !re.SeveralIterationsOnRerun) {
    Inform(prompter, "Only one iteration is allowed for the Base Rerun.");
    n = 1;
  }
  re.RerunIterations = n;
}

std::string ReInputFileToShow(const Session& session, Prompter& prompter,
                              const std::string& logical, const std::string& path) {
  const SessionSettings& s = session.settings;
  const bool special =
      SameText(logical, "ROREXT") || SameText(logical, "ITER") || SameText(logical, "EXTRA");
  if (!special || !s.re_available || !s.options.Re.DoRe) return path;
  const ratex::ReContext context = ReContextOf(session, QuietPolicyStart(session.sim, s));
  const ratex::TCorvanREFileNames base = ratex::REFileSetsOf(context).first_iteration[kBase];
  const std::string copy = SameText(logical, "ROREXT") ? base.Rorext
                           : SameText(logical, "ITER") ? base.Iter
                                                       : base.Extra;
  const std::string program = FileNameOf(s.model.ModelFile);
  std::string text = "Since you are doing Rational Expectations a la Corvan, the file\r\n" + path +
                     "\r\nyou prepared will be altered by " + program + ".";
  const bool have_copy = !copy.empty() && FileExists(copy);
  if (have_copy) {
    text +=
        "\r\nClick \"Yes\" if you wish to see the file you prepared, or\r\nclick \"No\" if you "
        "wish to see the file\r\n  " +
        copy + "\r\nused by " + program + " when you ran the FIRST iteration of the Base.";
  } else {
    text +=
        "\r\nIt looks as if you have not yet run any interations of the Base.\r\nClick \"Yes\" if "
        "you wish to see the file you prepared, otherwise click \"No\".";
  }
  const Button b = prompter.Show(
      MakeMessage(MessageKind::kConfirmation, text, kHelpRationalExpectations, kYes | kNo));
  if (b == kYes) return path;
  return have_copy && b == kNo ? copy : "";
}

}  // namespace yl
