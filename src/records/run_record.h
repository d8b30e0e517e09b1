#pragma once
// The kept run records ("base.ini", "rbase.ini", "pol.ini" in the keep directory): what
// every completed unit of work (a year's simulation, a year's closure preparation, a run's
// spreadsheet chain) used and produced, and when it was booked. The application describes
// a unit as plain data; this unit writes it and reads it back.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/status.h"
#include "env/ini_file.h"
#include "sim/sim_record.h"

namespace yl::records {

inline constexpr int kRecordVersion = 318;

enum class UnitKind { kSim, kBot, kSpreadsheet };

// A unit of work. A spreadsheet chain has year N + 1; a closure preparation belongs to the
// run that prepares closures (the Rerun, or the Policy in two-run mode).
struct UnitRef {
  Run run = kBase;
  int year = 0;
  UnitKind kind = UnitKind::kSim;
  bool operator==(const UnitRef&) const = default;
};

// The result boxes of "Which Results to Check": each switches on the comparison of the
// outputs of its kind. Inputs and settings are always compared.
enum ResultBox : unsigned {
  kSolutionFiles = 1u << 0,
  kSlcFiles = 1u << 1,
  kUpdatedFiles = 1u << 2,
  kOtherOutputFiles = 1u << 3,
  kSpreadsheetFiles = 1u << 4,
  kDeviationFiles = 1u << 5,
  kLogFiles = 1u << 6,
  kBotFiles = 1u << 7,
  kSolFiles = 1u << 8,
};
inline constexpr unsigned kAllResults = (1u << 9) - 1;
// What "Where to Start?" and the prerequisite checks compare.
inline constexpr unsigned kWhereToStartResults = kAllResults & ~(kLogFiles | kBotFiles | kSolFiles);

// A setting the unit ran with.
struct RecordedSetting {
  std::string section;
  std::string key;
  std::string value;
  std::string what;     // names the setting in a reason ("working directory")
  bool compare = true;  // false for the run-wide copies, which later units overwrite
  // The whole reason when the value differs; "" for the usual wording.
  std::string changed_reason;
};

// A file the unit read or wrote.
struct RecordedFile {
  std::string section;
  std::string key;
  std::string path;  // the file's name now
  std::string what;  // introduces the file in a reason
  bool created = false;
  unsigned box = 0;  // 0: an input, always compared; else the box that selects it
  // For outputs: the opening lines of a reason, which goes on "However that ...".
  std::string lead;
  bool compare_name = true;
  bool compare = true;    // false for the run-wide copies
  bool optional = false;  // recorded only when it exists, compared only when recorded
};

struct UnitDescription {
  UnitRef unit;
  std::string completion_section;  // the calendar year, or "Run" for a spreadsheet chain
  std::string completion_key;      // "Year finished ok", "Bot job finished ok", ...
  std::string unit_text;           // {unit} of the comparisons
  std::string rerun_advice;        // "    [You need to rerun the ... to correct this.]"
  std::vector<RecordedSetting> settings;
  std::vector<RecordedFile> files;
};

// What every record of a set of runs shares.
struct RecordContext {
  std::string keep_dir;
  std::array<std::string, 4> sim_names;  // [1..3]
  bool two_run_mode = false;
  bool developer_mode = false;
  std::string user_ds_name;  // the Sim Details file in use
};

// The record file of a run in the keep directory.
std::string RecordFile(const std::string& keep_dir, int run);

// Writes the unit's keys and its completion stamp into a record held in memory.
void BookUnit(IniFile& record, const UnitDescription& unit, const RecordContext& context,
              std::uint64_t now);

// Writes the unit into its run's record, booked at `now` (100-ns units): the record is
// read, changed in memory and replaced whole through a temporary file, so a kill at any
// moment leaves the old record or the new one. The records of later runs that carry
// another simulation name are deleted first (not in developer mode). The error is the
// "Problem updating Record of Runs file ..." text.
Status RecordJob(const UnitDescription& unit, const RecordContext& context, std::uint64_t now);

// The three records as read now. A missing or unreadable record reads as empty: every
// unit of that run is then not completed.
struct RunRecords {
  std::array<IniFile, 4> of;  // [1..3]
  static RunRecords Load(const std::string& keep_dir);
};

}  // namespace yl::records
