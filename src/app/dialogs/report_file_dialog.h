#pragma once
// The save dialog of a report: its title, filter and help topic, starting in the working
// directory with the default report name (the current simulation's Sim Details name with
// the report's extension). The chooser itself asks before it replaces an existing file, as
// save dialogs do.

#include <optional>
#include <string>

#include "app/session.h"
#include "core/prompter.h"
#include "reports/report_kinds.h"

namespace yl {

// The default report file in the working directory; "" when no default applies (no
// model is chosen, so there is no Sim Details name).
std::string DefaultReportFile(reports::ReportKind kind, const TSimRecord& sim,
                              const SessionSettings& s);

FileRequest ReportFileRequest(reports::ReportKind kind, const TSimRecord& sim,
                              const SessionSettings& s);

// The chosen file, taken from the working directory when relative; nullopt when the user
// cancelled.
std::optional<std::string> ChooseReportFile(reports::ReportKind kind, const TSimRecord& sim,
                                            const SessionSettings& s, Prompter& prompter);

}  // namespace yl
