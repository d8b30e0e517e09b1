#include "app/check_mode.h"

#include "app/batch_prompter.h"
#include "app/commands/run_checks_commands.h"
#include "app/session.h"
#include "core/internal_error.h"
#include "core/text_util.h"
#include "env/dir_search.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "settings/options_file.h"
#include "settings/sim_details.h"
#include "sim/sim_defaults.h"

namespace yl {

namespace {

void PrintNotices(std::ostream& err, const Notices& notices) {
  for (const Message& m : notices) {
    if (m.kind == MessageKind::kError || m.kind == MessageKind::kWarning) {
      err << "yearloom: " << PlainText(m.text) << "\n";
    }
  }
}

}  // namespace

Status LoadReportSession(const std::string& sim_details, const std::string& current_dir,
                         std::ostream& err, Session& session) {
  const DirSearchResult keep = DirectorySearch(KeepDirSearchParams());
  if (!keep.found) return Fail("No keep directory was found: " + PlainText(keep.Messages()));
  SessionSettings& s = session.settings;
  SetDefaultSimulation(session.sim, session.sim.SimDir);
  s.paths.keep_dir = keep.dir;
  Notices notices;
  const std::string options_file = JoinPath(keep.dir, kOptionsFileName);
  if (FileExists(options_file)) {
    ReadOptionsFile(options_file, kAllGroups, s, session.sim, notices);
  } else {
    ApplyFirstRunDefaults(s, 1);
  }
  if (!sim_details.empty()) {
    const std::string ds1 = ChangeFileExt(ResolveAgainst(current_dir, sim_details), ".ds1");
    if (!FileExists(ds1)) return Fail("DS1 file: " + ds1 + " does not exist");
    SimDetailsContext ctx{keep.dir, true, false};
    LoadChoice all;
    all.part = LoadPart::kAll;
    auto loaded = LoadSimDetails(ds1, all, s, session.sim, ctx, notices);
    PrintNotices(err, notices);
    if (!loaded) return Fail(loaded.error());
    return Ok();
  }
  if (!LoadLastSession(keep.dir, session.sim)) {
    return Fail("There is no last session; name a Sim Details (\".ds1\") file.");
  }
  PrintNotices(err, notices);
  return Ok();
}

int RunCommandGuarded(std::ostream& err, int error_status, const std::function<int()>& body) {
  auto error = [&](const std::string& text) {
    err << "yearloom: " << PlainText(text) << "\n";
    return error_status;
  };
  try {
    return body();
  } catch (const InternalError& e) {
    return error(e.UserText());
  } catch (const std::exception& e) {
    return error(InternalErrorText(e.what()));
  }
}

int RunCheckMode(const CheckRequest& request, const CheckEnvironment& env) {
  std::ostream& out = *env.out;
  std::ostream& err = *env.err;
  auto error = [&](const std::string& text) {
    err << "yearloom: " << PlainText(text) << "\n";
    return kCheckError;
  };
  return RunCommandGuarded(err, kCheckError, [&] {
    Session session;
    if (auto loaded = LoadReportSession(request.sim_details, env.current_dir, err, session);
        !loaded) {
      return error(loaded.error());
    }
    const SessionSettings& s = session.settings;

    Result<RunChecksReport> report = Fail("");
    if (request.kind == CheckRequest::Kind::kWhereToStart) {
      report = WhereToStartReport(session.sim, s,
                                  request.sequence_only ? WhereToStartMode::kJustSequence
                                                        : WhereToStartMode::kSameIfRunAgain);
    } else {
      unsigned boxes = records::kWhereToStartResults;
      if (!request.include.empty()) {
        auto named = BoxesFromNames(request.include);
        if (!named) return error(named.error());
        boxes = *named;
      }
      report = ResultsOkReport(
          session.sim, s,
          request.as_created ? ResultsOkMode::kAsCreated : ResultsOkMode::kSameIfRunAgain, boxes);
    }
    if (!report) return error(report.error());
    out << PlainText(report->text);
    out.flush();
    return report->left_to_do ? kCheckLeftToDo : kCheckAllDone;
  });
}

}  // namespace yl
