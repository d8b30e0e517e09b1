#include "sim/sim_inputs.h"

#include "core/internal_error.h"
#include "core/text_util.h"
#include "platform/file_lookup.h"
#include "platform/name_quoting.h"
#include "platform/paths.h"
#include "sim/sim_naming.h"
#include "sim/sim_runs.h"

namespace yl {

namespace {

bool IsInputRole(int role) {
  return role == kUpdatedInput || role == kLaggedInput || role == kConstantInput;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view TrimView(std::string_view s) {
  std::size_t b = s.find_first_not_of(" \t");
  if (b == std::string_view::npos) return {};
  std::size_t e = s.find_last_not_of(" \t");
  return s.substr(b, e - b + 1);
}

// "File {name} = {rest}": the logical name and what follows the "=".
bool SplitFirstYearLine(std::string_view line, std::string_view& name, std::string_view& rest) {
  const std::size_t eq = line.find('=');
  if (eq == std::string_view::npos) return false;
  const std::string_view head = TrimView(line.substr(0, eq));
  if (head.size() < 5 || !StartsWithNoCase(head, "file") || !IsBlank(head[4])) return false;
  name = TrimView(head.substr(5));
  rest = TrimView(line.substr(eq + 1));
  return true;
}

// The file name runs to the ";" that ends the statement; a quoted name may hold one.
std::string FileOfRest(std::string_view rest) {
  std::size_t end;
  if (!rest.empty() && rest.front() == '"') {
    const std::size_t close = rest.find('"', 1);
    end = close == std::string_view::npos ? rest.size() : close + 1;
  } else {
    end = std::min(rest.find(';'), rest.size());
  }
  return Unquote(TrimView(rest.substr(0, end)));
}

}  // namespace

std::optional<std::string> FirstYearFileFor(const std::vector<std::string>& first_year,
                                            const std::string& logical_name) {
  const std::string_view wanted = TrimView(logical_name);
  for (const std::string& line : first_year) {
    std::string_view name, rest;
    if (SplitFirstYearLine(line, name, rest) && SameText(name, wanted)) return FileOfRest(rest);
  }
  return std::nullopt;
}

namespace {

// The resolution itself; `lookup` finds a logical file's first-year file, `list_empty`
// says whether the first-year list was empty.
template <class Lookup>
InputFile Resolve(const TSimRecord& sim, int f, int period, int run, int policy_start,
                  const Lookup& lookup, bool list_empty, bool no_rerun) {
  CheckLogicalFile(sim, f);
  CheckPeriod(period);
  CheckRun(run);
  const TDinFileEntry& fe = sim.DinFiles[f];
  const int role = fe.Role;
  const int k = period;
  int r = run;

  // The Rerun and the Policy start from the Base's data; a lagged input looks one period
  // further back.
  if (IsInputRole(role) && r > kBase && k <= policy_start) r = kBase;
  if (role == kLaggedInput && r > kBase && k == policy_start + 1) r = kBase;

  const int u = fe.Usage[static_cast<std::size_t>(r)];
  int s;
  int kp;
  if (role == kLaggedInput) {
    s = fe.LagOf;
    kp = k - 1;
  } else {
    s = fe.Usage[0];
    kp = fe.LagOf != 0 ? k - 1 : k;
  }
  CheckLogicalFile(sim, s);
  const TDinFileEntry& se = sim.DinFiles[s];
  if (kp <= 0) kp = 1;
  if (se.Role == kConstantInput) kp = 1;

  int data_run = (se.IsInput && kp <= 1) ? kBase : u;
  if (no_rerun && r == kPolicy && u == kRerun) data_run = kBase;
  CheckRun(data_run);

  InputFile out;
  out.Period = kp - 1;
  out.Year = sim.Years[kp - 1];
  out.Run = data_run;
  out.LogicalFile = s;

  if (kp == 1 && se.IsInput && (se.Role == kUpdatedInput || se.Role == kConstantInput)) {
    int entry = k == 1 ? f : s;
    out.LogicalFile = entry;
    if (list_empty) out.Note = "j zero";
    out.FileName = lookup(sim.DinFiles[entry].Name).value_or("");
    return out;
  }
  if (se.Role == kOutputOnly) {
    out.FileName = OutputOnlyFileName(sim, s, data_run, kp, no_rerun);
    return out;
  }
  // s's data at the start of period k': what period k'-1 of the chosen run wrote. Period 0
  // has no writer, so a DIN that leads here is an internal error, not a made-up name.
  if (kp - 1 < 1) {
    throw InternalError("No file written before the first period for logical file " + se.Name);
  }
  out.FileName = DataFileNameFor(sim, s, data_run, kp - 1, no_rerun);
  return out;
}

}  // namespace

InputFile ResolveInputFile(const TSimRecord& sim, int f, int period, int run, int policy_start,
                           const std::vector<std::string>& first_year, bool no_rerun) {
  auto lookup = [&](const std::string& name) { return FirstYearFileFor(first_year, name); };
  return Resolve(sim, f, period, run, policy_start, lookup, first_year.empty(), no_rerun);
}

InputFile ResolveParsedInputFile(const TSimRecord& sim, int f, int period, int run,
                                 int policy_start, const FirstYearFiles& first_year,
                                 bool no_rerun) {
  auto lookup = [&](const std::string& name) { return FindFirstYearFile(first_year, name); };
  return Resolve(sim, f, period, run, policy_start, lookup, first_year.ListEmpty, no_rerun);
}

FirstYearFiles ParseFirstYearList(const std::vector<std::string>& first_year) {
  FirstYearFiles files;
  files.ListEmpty = first_year.empty();
  for (const std::string& line : first_year) {
    std::string_view name, rest;
    if (!SplitFirstYearLine(line, name, rest)) continue;
    files.ByName.emplace(UpperCase(name), files.Entries.size());  // the first entry wins
    files.Entries.emplace_back(name, FileOfRest(rest));
  }
  return files;
}

std::optional<std::string> FindFirstYearFile(const FirstYearFiles& files,
                                             const std::string& logical_name) {
  auto it = files.ByName.find(UpperCase(TrimView(logical_name)));
  if (it == files.ByName.end()) return std::nullopt;
  return files.Entries[it->second].second;
}

std::string FormatFirstYearLine(const std::string& logical_name, const std::string& file,
                                const std::string& description) {
  return "File " + logical_name + " = " + QuoteIfNeeded(file) + " ; ! " + description;
}

std::vector<std::string> FirstYearLinesForPeriod(const TSimRecord& sim, int period,
                                                 const std::vector<std::string>& first_year) {
  std::vector<std::string> lines;
  for (int f = 1; f <= sim.NumDinFiles; ++f) {
    const TDinFileEntry& e = sim.DinFiles[f];
    if (!e.IsInput) continue;
    InputFile in = ResolveInputFile(sim, f, period, kBase, 1, first_year, false);
    std::string path = in.FileName.empty() ? "" : ResolveAgainst(sim.SimDir, in.FileName);
    bool exists = !path.empty() && ResolvePathNoCase(path).has_value();
    lines.push_back(
        FormatFirstYearLine(e.Name, exists ? *ResolvePathNoCase(path) : "??", e.Description));
  }
  return lines;
}

}  // namespace yl
