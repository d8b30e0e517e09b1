#pragma once
// The closure and shock sections of a command file: user-written closure and shock files
// copied in with their comment lines, and the year tags of shock statements expanded
// into slices for the period being solved.

#include <optional>
#include <string>
#include <string_view>

#include "core/status.h"
#include "platform/text_file.h"
#include "sim/sim_record.h"

namespace yl {

// Every character outside codes 33..126 becomes a blank; nothing is trimmed, so the line
// keeps its length.
std::string CleanCmfLine(std::string_view line);

// Copies a text file line by line, each line cleaned. "Cannot open file {path}[TxtOpen]",
// "read error from file {path}" or "write error" on failure.
Status CopyCleanedLines(TextWriter& out, const std::string& path);

// A file named by the closure/shock table, looked up in SimDir without regard to case.
// nullopt when it is not a regular file there (a name holding "/" never is).
std::optional<std::string> FindTableFile(const TSimRecord& sim, const std::string& name);

// Expands the year tags of a shock file line by line. A statement whose second word is
// "<year>" or "<year=PREFIX>" (any case) loses that word and gains `slice "PREFIXyyyy"`
// before its closing ";" (PREFIX is "Y" for "<year>"). Comment lines pass unchanged.
class ShockYearTagger {
 public:
  explicit ShockYearTagger(std::string year) : year_(std::move(year)) {}
  // The line as it goes into the command file; the line must already be cleaned.
  std::string Process(std::string line);
  bool statement_open() const { return open_; }

 private:
  std::string year_;
  bool open_ = false;
  bool tagged_ = false;
  std::string prefix_;
};

// Copies a shock file with its year tags expanded for the year text (4 digits). With
// sanitise, each line is cleaned first. Failures end in " [AppendShocks]".
Status AppendShocks(TextWriter& cmf, const std::string& shock_file, const std::string& year,
                    bool sanitise = true);

// The closure sections (Common, then period-specific) of run r for period k, and with
// include_shocks the shock sections: the (extra) policy shocks for the Policy when
// policy_shocks, the base-case shock header, and the Base's own shock files. Period 0
// (the Common row alone) writes no period-specific section. Failures end in
// "[AddClosureShocksToCMF]".
Status AddClosureShocksToCMF(const TSimRecord& sim, int period, int run, TextWriter& cmf,
                             bool policy_shocks, bool include_shocks);

}  // namespace yl
