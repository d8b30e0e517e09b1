#include "app/dialogs/report_file_dialog.h"

#include "platform/paths.h"
#include "sim/sim_naming.h"

namespace yl {

std::string DefaultReportFile(reports::ReportKind kind, const TSimRecord& sim,
                              const SessionSettings& s) {
  const std::string ds1 = DefaultSimDetailsFile(sim, s.model.ModelName, s.options.NoRerun);
  if (ds1.empty()) return "";
  return ChangeFileExt(ds1, reports::InfoOf(kind).extension);
}

FileRequest ReportFileRequest(reports::ReportKind kind, const TSimRecord& sim,
                              const SessionSettings& s) {
  const reports::ReportKindInfo& info = reports::InfoOf(kind);
  const std::string dflt = DefaultReportFile(kind, sim, s);
  FileRequest r;
  r.title = info.title;
  r.filter = info.filter;
  r.start_dir = sim.SimDir;
  r.default_name = dflt.empty() ? std::string("*") + info.extension : FileNameOf(dflt);
  r.save = true;
  r.help_topic = info.help_topic;
  return r;
}

std::optional<std::string> ChooseReportFile(reports::ReportKind kind, const TSimRecord& sim,
                                            const SessionSettings& s, Prompter& prompter) {
  const std::vector<std::string> files = prompter.ChooseFiles(ReportFileRequest(kind, sim, s));
  if (files.empty() || files.front().empty()) return std::nullopt;
  return ResolveAgainst(sim.SimDir, files.front());
}

}  // namespace yl
