#include "app/report_mode.h"

#include "app/batch_prompter.h"
#include "app/commands/report_commands.h"
#include "app/dialogs/report_file_dialog.h"
#include "core/internal_error.h"
#include "core/text_util.h"
#include "platform/paths.h"

namespace yl {

namespace {

using reports::ReportKind;

// The second simulation of a comparison, named like any Sim Details file.
Result<ScratchSimDetails> LoadOther(const std::string& other, const std::string& current_dir,
                                    const std::string& keep_dir) {
  const std::string ds1 = ResolveAgainst(current_dir, other);
  if (!SameText(FileExtOf(ds1), ".ds1")) {
    return Fail("Sim Details file name must end with \".ds1\": " + ds1);
  }
  return LoadScratchSimDetails(ds1, keep_dir);
}

}  // namespace

int RunReportMode(const ReportRequest& request, const CheckEnvironment& env) {
  std::ostream& err = *env.err;
  const std::string routine = Bracket(reports::InfoOf(request.kind).routine);
  auto error = [&](const std::string& text) {
    err << "yearloom: " << PlainText(text) << "\n";
    return kReportError;
  };
  return RunCommandGuarded(err, kReportError, [&] {
    Session session;
    if (auto loaded = LoadReportSession(request.sim_details, env.current_dir, err, session);
        !loaded) {
      return error(loaded.error());
    }
    std::string path = request.output.empty()
                           ? DefaultReportFile(request.kind, session.sim, session.settings)
                           : ResolveAgainst(env.current_dir, request.output);
    if (path.empty()) {
      return error("There is no default report name without a model; name the file with -o.");
    }
    Status written;
    if (request.kind == ReportKind::kComparison) {
      auto other = LoadOther(request.other, env.current_dir, session.settings.paths.keep_dir);
      if (!other) return error(other.error() + routine);
      written = WriteComparisonReport({session.sim, session.settings.options.NoRerun},
                                      other->Compared(), path);
    } else {
      written = WriteSessionReport(request.kind, session, path);
    }
    if (!written) return error(written.error());
    *env.out << path << "\n";
    env.out->flush();
    return kReportWritten;
  });
}

}  // namespace yl
