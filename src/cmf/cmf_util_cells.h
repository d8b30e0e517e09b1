#pragma once
// The statement and reference rules applied to the cells of the closure/shock table:
// one cell, a range of periods, and the CMFStart files of the runs. Cells are read
// through the record's completed names (CMFFullNames), which the table set-up keeps
// current.

#include <string>
#include <vector>

#include "cmf/cmf_util.h"
#include "core/message.h"
#include "core/status.h"
#include "platform/text_file.h"
#include "sim/sim_record.h"

namespace yl {

// Whether a cell names a file at all (not empty, "?" or "N/A").
bool CellNamesFile(const std::string& cell);
// The full path of a cell's completed file in SimDir (the on-disk spelling when a file
// differing only in case exists); "" when the cell names no file.
std::string CellFilePath(const TSimRecord& sim, int row, int column);

// The cell rule on a file: columns 1 and 3 the closure rule (help 7017), column 2 the
// shock rule without ashock/tshock, column 4 with them (help 7018).
RuleResult CellRule(const std::string& file, int column);
// The same on a cell's completed file; a cell that names no file passes.
RuleResult CellRule(const TSimRecord& sim, int row, int column);

// The range rule of the "Check all" commands (column 1 or 3; other columns pass): the
// closure rule on every period's closure cell and, with shocks, the shock rule with
// ashock and tshock allowed on every shock cell of the next column. Stops at the first
// failure, so one bad file shared by many periods is reported once.
RuleResult RangeRule(const TSimRecord& sim, int column, int first_period, int last_period,
                     bool with_shocks, int help_topic);

// The CMFStart file of a run: its path in SimDir, "" when its cell is empty or "N/A".
std::string CMFStartFilePath(const TSimRecord& sim, int run);

struct CMFStartCheck {
  bool passed = true;
  std::string failed_path;  // the last CMFStart file whose references failed
  // For callers that do not check quietly: each failed file's reference problems, then
  // "Above refer to files referred to in CMFStart file\r\n{path}".
  std::vector<Message> messages;
};
// The reference check on the CMFStart file of each run first_run..last_run (the Rerun
// skipped when no_rerun).
CMFStartCheck CheckCMFStartConstituents(const TSimRecord& sim, int first_run, int last_run,
                                        bool no_rerun);

// The run's CMFStart block of a command file: a line holding one blank, "! Begin CMFSTART
// file ...", the file's lines cleaned, "! End CMFSTART file ...", a line holding one
// blank. Nothing when the run has no CMFStart file or it does not exist.
Status WriteCMFStartBlock(const TSimRecord& sim, int run, TextWriter& out);

}  // namespace yl
