#pragma once
// The options file "yearloom.ini" in the keep directory, and the same key vocabulary in
// its sequential form (Sim Details files, ingredient archives).

#include <functional>
#include <string>
#include <vector>

#include "core/message.h"
#include "core/status.h"
#include "env/environment.h"
#include "env/ini_file.h"
#include "settings/options.h"
#include "sim/sim_record.h"

namespace yl {

inline constexpr const char* kOptionsFileName = "yearloom.ini";
inline constexpr int kYearloomIniVersion = 318;
inline constexpr int kHelpWorkDirMissing = 7009;

struct OptionGroups {
  bool options = false;
  bool model = false;
  bool simulation = false;
};
inline constexpr OptionGroups kAllGroups{true, true, true};

// How a saved model's files are found; false clears the model. The default sets the
// model file and, for an interpreted model, finds the interpreter.
using ModelLocator = std::function<bool(ModelState& model, const std::string& model_path)>;

struct OptionsReadContext {
  ModelLocator locate_model;  // empty: the default
  DirOwnerProbe owner_probe;  // empty: the real one
};

// Applies the chosen groups of an options text to the session and the record, then
// brings the record's years and names up to date. Returns the "Do Corvan RE" value.
// Never fails: missing keys take their defaults, bad numbers are replaced; a saved model
// or working directory that has gone is told in notices.
bool ReadOptions(const IniFile& ini, OptionGroups groups, SessionSettings& s, TSimRecord& sim,
                 Notices& notices, const OptionsReadContext& context = {});
// The same from a file; a missing or unreadable file changes nothing and gives false.
bool ReadOptionsFile(const std::string& path, OptionGroups groups, SessionSettings& s,
                     TSimRecord& sim, Notices& notices, const OptionsReadContext& context = {});

enum class OptionsForm { kUpdate, kSequential };

// The update form keeps every key it does not write; the sequential form creates the
// file afresh. A sequential file that cannot be created is also reported in notices.
Status WriteIniOptions(const std::string& path, OptionsForm form, const SessionSettings& s,
                       const TSimRecord& sim, Notices& notices);
// The lines of the sequential form.
std::vector<std::string> SequentialOptionsLines(const SessionSettings& s, const TSimRecord& sim);
// The update form applied to an IniFile in memory.
void UpdateOptions(IniFile& ini, const SessionSettings& s, const TSimRecord& sim);

// The defaults used when no options file exists and none can be created.
void ApplyFirstRunDefaults(SessionSettings& s, int processors);

}  // namespace yl
