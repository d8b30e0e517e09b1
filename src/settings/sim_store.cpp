#include "settings/sim_store.h"

#include <charconv>

#include "core/text_util.h"
#include "model/din_file.h"
#include "platform/file_lookup.h"
#include "platform/files.h"
#include "platform/text_file.h"
#include "sim/sim_defaults.h"
#include "sim/sim_runs.h"
#include "sim/sim_table.h"

namespace yl {

namespace {

constexpr int kCellWidth = 9;
constexpr int kOldCellWidth = 8;

std::string TooManyFiles(int n) {
  return "Sorry, there are too many files in this model. This model has " + std::to_string(n) +
         " files\r\nbut the maximum this program can handle is 50.";
}

char Flag(bool b) { return b ? 'T' : 'F'; }

// The CMFStart column of each run that has one, with the run's letter.
constexpr int kStartColumns[3] = {1, 3, 4};
constexpr char kStartLetters[3] = {'B', 'R', 'P'};

bool StartCellFitsOlderForm(const TSimRecord& sim, int i) {
  const std::string& cell = sim.CMFCells(kCmfStartRow, kStartColumns[i]);
  const std::string own = std::string("CMFSTART") + kStartLetters[i];
  if (cell.empty()) {
    return !FileExistsNoCase(sim.SimDir, "CMFSTART") && !FileExistsNoCase(sim.SimDir, own);
  }
  return SameText(cell, "CMFSTART") || SameText(cell, own);
}

class LineCursor {
 public:
  explicit LineCursor(const std::vector<std::string>& lines) : lines_(lines) {}
  Result<std::string> Next() {
    if (pos_ >= lines_.size()) return Fail("Unexpected end of file");
    return lines_[pos_++];
  }
  bool AtEnd() const { return pos_ >= lines_.size(); }
  std::size_t LineNo() const { return pos_; }

 private:
  const std::vector<std::string>& lines_;
  std::size_t pos_ = 0;
};

Result<int> ParseInt(const std::string& text, std::size_t line_no) {
  std::string t = Trim(text);
  int v = 0;
  auto [p, ec] = std::from_chars(t.data(), t.data() + t.size(), v);
  if (t.empty() || ec != std::errc() || p != t.data() + t.size()) {
    return Fail("Invalid number in line " + std::to_string(line_no) + ": " + text);
  }
  return v;
}

Result<int> NextInt(LineCursor& c) {
  auto line = c.Next();
  if (!line) return Fail(line.error());
  return ParseInt(*line, c.LineNo());
}

// The number of MIN or DIN files that the entries after it describe.
Result<int> NextFileCount(LineCursor& c) {
  auto n = NextInt(c);
  if (!n) return n;
  if (*n > kMaxLogicalFiles) return Fail(TooManyFiles(*n));
  if (*n < 0) return Fail("Invalid number of files " + std::to_string(*n));
  return n;
}

Result<std::string> NextField(LineCursor& c, std::size_t width) {
  auto line = c.Next();
  if (!line) return Fail(line.error());
  return TrimRight(line->substr(0, std::min(width, line->size())));
}

Result<std::vector<bool>> NextFlags(LineCursor& c, std::size_t n) {
  auto line = c.Next();
  if (!line) return Fail(line.error());
  std::string t = Trim(*line);
  if (t.size() < n)
    return Fail("Invalid flags in line " + std::to_string(c.LineNo()) + ": " + *line);
  std::vector<bool> flags;
  for (std::size_t i = 0; i < n; ++i) {
    char ch = static_cast<char>(std::toupper(static_cast<unsigned char>(t[i])));
    if (ch != 'T' && ch != 'F') {
      return Fail("Invalid flags in line " + std::to_string(c.LineNo()) + ": " + *line);
    }
    flags.push_back(ch == 'T');
  }
  return flags;
}

bool SeparatorsAt(const std::string& line, char a, char b, char c) {
  return line.size() >= 27 && line[8] == a && line[17] == b && line[26] == c;
}

}  // namespace

bool OlderFormPossible(const TSimRecord& sim) {
  if (sim.NumYears > 98) return false;
  for (int c = 1; c <= 4; ++c) {
    if (!sim.CMFCells(kCommonRow, c).empty()) return false;
    for (int k = 1; k <= sim.NumYears; ++k) {
      if (sim.CMFCells(k, c).size() > static_cast<std::size_t>(kOldCellWidth)) return false;
    }
  }
  for (int i = 0; i < 3; ++i) {
    if (!sim.CMFStartExt[kStartColumns[i]].empty()) return false;
    if (!StartCellFitsOlderForm(sim, i)) return false;
  }
  return true;
}

std::vector<std::string> TableSectionLines(const TSimRecord& sim) {
  std::vector<std::string> lines;
  const int n = sim.NumYears;
  if (OlderFormPossible(sim)) {
    for (int k = 1; k <= n; ++k) {
      std::string line;
      for (int c = 1; c <= 4; ++c) {
        line += PadLeft(sim.CMFCells(k, c), kOldCellWidth);
        line += (k == 1 && c <= 2) ? '!' : '|';
      }
      lines.push_back(line);
    }
    return lines;
  }
  if (n == 1) {
    lines.push_back("Update__!Software!Contact_|SOLVARA_|");
  } else if (n == 2) {
    // Eight characters a cell, so that the separators stand where every reader looks.
    lines.push_back("This____!Requires!Newer___|Software|");
    lines.push_back("Contact_|SOLVARA_|Contact_|SOLVARA_|");
  } else {
    lines.push_back("This____!sim_____!requires|newer___|");
    lines.push_back("version_|of______|this____|software|");
    for (int k = 3; k <= n; ++k) lines.push_back("Contact_|SOLVARA_|Contact_|SOLVARA_|");
  }
  return lines;
}

Result<std::vector<std::string>> SimStoreLines(const TSimRecord& sim) {
  if (sim.NumMinFiles > kMaxLogicalFiles) return Fail(TooManyFiles(sim.NumMinFiles));
  if (sim.NumDinFiles > kMaxLogicalFiles) return Fail(TooManyFiles(sim.NumDinFiles));
  if (sim.NumYears < 1 || sim.NumYears > kMaxPeriods) {
    return Fail("The number of periods " + std::to_string(sim.NumYears) + " is outside 1 to 999.");
  }
  std::vector<std::string> l;
  l.push_back(std::to_string(sim.NumYears) + " " + std::to_string(sim.FirstYear));
  for (int r = 1; r <= 3; ++r) l.push_back(sim.SimNames[r]);
  l.push_back(std::to_string(sim.NumMinFiles));
  for (int i = 1; i <= sim.NumMinFiles; ++i) {
    const TMinFileEntry& e = sim.MinFiles[i];
    l.push_back(e.Name);
    l.push_back({Flag(e.IsInput), Flag(e.IsUpdated), Flag(e.Special)});
    l.push_back(e.Type);
    l.push_back(e.Description);
  }
  l.push_back(std::to_string(sim.NumDinFiles));
  for (int i = 1; i <= sim.NumDinFiles; ++i) {
    const TDinFileEntry& e = sim.DinFiles[i];
    l.push_back(e.Name);
    l.push_back(e.Type);
    l.push_back(e.Key);
    l.push_back({Flag(e.IsInput), Flag(e.IsUpdated)});
    l.push_back(e.Description);
    l.push_back(std::to_string(e.Role));
    l.push_back(std::to_string(e.LagOf));
    for (int u = 0; u < 4; ++u) l.push_back(std::to_string(e.Usage[static_cast<std::size_t>(u)]));
  }
  for (auto& t : TableSectionLines(sim)) l.push_back(std::move(t));
  l.push_back("#FILES");
  l.push_back(std::to_string(kCellWidth));
  l.push_back("4");
  for (int row = kCmfStartRow; row <= sim.NumYears; ++row) {
    for (int c = 1; c <= 4; ++c) {
      l.push_back(row == kCmfStartRow ? sim.CMFCells(row, c) + sim.CMFStartExt[c]
                                      : sim.CMFCells(row, c));
    }
  }
  l.push_back({Flag(sim.RunFlags[1]), Flag(sim.RunFlags[2]), Flag(sim.RunFlags[3])});
  return l;
}

Status WriteSimStore(const std::string& path, const TSimRecord& sim) {
  auto lines = SimStoreLines(sim);
  if (!lines) return Fail(lines.error());
  std::string text;
  for (const auto& line : *lines) text += line + "\n";
  auto w = WriteFileAtomically(path, text);
  if (!w) return Fail(w.error() + "[TxtCreate]");
  return Ok();
}

Result<std::unique_ptr<TSimRecord>> ParseSimStore(const std::vector<std::string>& lines,
                                                  const std::string& sim_dir) {
  auto sim = CreateSimRecord();
  sim->SimDir = sim_dir;
  for (int k = 1; k <= kMaxPeriods; ++k) sim->LengthPeriods[k] = 1;
  LineCursor c(lines);
  {
    auto first = c.Next();
    if (!first) return Fail(first.error());
    std::string t = Trim(*first);
    std::size_t blank = t.find_first_of(" \t");
    if (blank == std::string::npos) return Fail("Invalid first line: " + *first);
    auto n = ParseInt(t.substr(0, blank), 1);
    if (!n) return Fail(n.error());
    auto year = ParseInt(t.substr(blank + 1), 1);
    if (!year) return Fail(year.error());
    if (*n < 1 || *n > kMaxPeriods) {
      return Fail("The number of periods " + std::to_string(*n) + " is outside 1 to 999.");
    }
    if (*year < 1 || *year + *n - 1 > 9999) {
      return Fail("Invalid first year " + std::to_string(*year));
    }
    sim->NumYears = *n;
    sim->FirstYear = *year;
  }
  for (int r = 1; r <= 3; ++r) {
    auto name = NextField(c, 3);
    if (!name) return Fail(name.error());
    sim->SimNames[r] = *name;
  }
  auto num_min = NextFileCount(c);
  if (!num_min) return Fail(num_min.error());
  sim->NumMinFiles = *num_min;
  for (int i = 1; i <= *num_min; ++i) {
    TMinFileEntry& e = sim->MinFiles[i];
    auto name = NextField(c, 20);
    if (!name) return Fail(name.error());
    auto flags = NextFlags(c, 3);
    if (!flags) return Fail(flags.error());
    auto type = NextField(c, 3);
    if (!type) return Fail(type.error());
    auto desc = NextField(c, 80);
    if (!desc) return Fail(desc.error());
    e = TMinFileEntry{*name, (*flags)[0], (*flags)[1], (*flags)[2], *type, *desc};
  }
  auto num_din = NextFileCount(c);
  if (!num_din) return Fail(num_din.error());
  sim->NumDinFiles = *num_din;
  for (int i = 1; i <= *num_din; ++i) {
    TDinFileEntry& e = sim->DinFiles[i];
    auto name = NextField(c, 20);
    if (!name) return Fail(name.error());
    auto type = NextField(c, 3);
    if (!type) return Fail(type.error());
    auto key = NextField(c, 3);
    if (!key) return Fail(key.error());
    auto flags = NextFlags(c, 2);
    if (!flags) return Fail(flags.error());
    auto desc = NextField(c, 80);
    if (!desc) return Fail(desc.error());
    e.Name = *name;
    e.Type = *type;
    e.Key = *key;
    e.IsInput = (*flags)[0];
    e.IsUpdated = (*flags)[1];
    e.Description = *desc;
    auto role = NextInt(c);
    if (!role) return Fail(role.error());
    auto lag = NextInt(c);
    if (!lag) return Fail(lag.error());
    if (*role < kOutputOnly || *role > kConstantInput || *lag < 0 || *lag > *num_din) {
      return Fail("Invalid dynamic role of logical file " + *name);
    }
    e.Role = *role;
    e.LagOf = *lag;
    for (std::size_t u = 0; u < 4; ++u) {
      auto usage = NextInt(c);
      if (!usage) return Fail(usage.error());
      if (*usage < 0 || *usage > (u == 0 ? *num_din : 3)) {
        return Fail("Invalid usage of logical file " + *name);
      }
      e.Usage[u] = *usage;
    }
  }
  for (int k = 1; k <= sim->NumYears; ++k) {
    auto next = c.Next();
    if (!next) return Fail(next.error());
    const std::string& line = *next;
    // The second form is the two-period warning line with its seven-character third cell,
    // as some writers produced it.
    if (k == 1 && !SeparatorsAt(line, '!', '!', '|') && !SeparatorsAt(line, '|', '|', '|') &&
        line != "This____!Requires!Newer__|Software|") {
      bool newer = StartsWithNoCase(line, "Update__") || StartsWithNoCase(line, "This____");
      return Fail((newer ? "Unexpected FirstLine for NewNewStyle : " : "Unexpected FirstLine: ") +
                  line);
    }
    for (int col = 1; col <= 4; ++col) {
      std::size_t at = static_cast<std::size_t>((col - 1) * (kOldCellWidth + 1));
      sim->CMFCells(k, col) = at < line.size() ? Trim(line.substr(at, kOldCellWidth)) : "";
    }
  }
  auto after = c.Next();
  if (!after) return Fail(after.error());
  std::string flags_line = *after;
  if (Trim(*after) == "#FILES") {
    auto width = NextInt(c);
    if (!width) return Fail(width.error());
    auto columns = NextInt(c);
    if (!columns) return Fail(columns.error());
    if (*width < 1 || *width > 255 || *columns != 4) {
      return Fail("Unexpected layout of #FILES section");
    }
    for (int row = kCmfStartRow; row <= sim->NumYears; ++row) {
      for (int col = 1; col <= 4; ++col) {
        auto cell = c.Next();
        if (!cell) return Fail(cell.error());
        std::string v = Trim(*cell);
        if (row == kCmfStartRow) {
          std::size_t dot = v.rfind('.');
          std::string ext = dot == std::string::npos ? "" : v.substr(dot);
          v = dot == std::string::npos ? v : v.substr(0, dot);
          sim->CMFStartExt[col] = ext.substr(0, 4);
        }
        // A name cut to the cell width must not end in a blank: it would not read back.
        sim->CMFCells(row, col) = TrimRight(v.substr(0, kCellWidth));
      }
    }
    auto flags = c.Next();
    if (!flags) return Fail(flags.error());
    flags_line = *flags;
  } else {
    sim->CMFCells(kCmfStartRow, 2) = "N/A";
  }
  {
    std::vector<std::string> one{flags_line};
    LineCursor fc(one);
    auto flags = NextFlags(fc, 3);
    if (!flags) return Fail(flags.error());
    for (int r = 1; r <= 3; ++r) sim->RunFlags[r] = (*flags)[static_cast<std::size_t>(r - 1)];
  }
  ResetRowsAboveNumYears(*sim);
  RecomputeYears(*sim);
  NormaliseCells(*sim);
  return sim;
}

Result<std::unique_ptr<TSimRecord>> ReadSimStore(const std::string& path,
                                                 const std::string& sim_dir) {
  auto lines = ReadTextLines(path);
  if (!lines) return Fail(lines.error());
  auto sim = ParseSimStore(*lines, sim_dir);
  if (!sim) return Fail(sim.error() + " (" + path + ")");
  // The roles are checked as a DIN's are, so that a hand edit is refused here and not
  // found out by a solve half-way through a task.
  if (auto s = CheckDinAgainstMin(**sim); !s) return Fail(DinProblemMessage(path, s.error()));
  return sim;
}

void ApplySimStore(TSimRecord& current, const TSimRecord& loaded) {
  current.NumYears = loaded.NumYears;
  current.FirstYear = loaded.FirstYear;
  current.SimNames = loaded.SimNames;
  current.NumMinFiles = loaded.NumMinFiles;
  current.MinFiles = loaded.MinFiles;
  current.NumDinFiles = loaded.NumDinFiles;
  current.DinFiles = loaded.DinFiles;
  current.CMFCells = loaded.CMFCells;
  current.CMFStartExt = loaded.CMFStartExt;
  current.RunFlags = loaded.RunFlags;
  ResetRowsAboveNumYears(current);
  RecomputeYears(current);
  NormaliseCells(current);
}

}  // namespace yl
