#include "cmf/cmf_assembly.h"

#include "cmf/cmf_tokens.h"
#include "core/internal_error.h"
#include "core/text_util.h"
#include "platform/file_lookup.h"
#include "platform/paths.h"
#include "sim/sim_runs.h"

namespace yl {

namespace {

bool IsBlankOrTab(char c) { return c == ' ' || c == '\t'; }

// The line as the model program reads it, position for position: the comment tail, the
// "#...#" spans and the "!!" pairs become blanks. Used to find the statement's ";" so
// that one inside a comment does not end the statement.
std::string VisibleText(std::string_view line) {
  std::string v(line);
  const std::size_t n = v.size();
  std::size_t i = 0;
  while (i < n) {
    if (v[i] != '!') {
      ++i;
      continue;
    }
    if (i + 1 < n && v[i + 1] == '!') {
      v[i] = v[i + 1] = ' ';
      i += 3;  // the character after the pair never starts a comment
      continue;
    }
    for (std::size_t j = i; j < n; ++j) v[j] = ' ';
    break;
  }
  std::size_t open = std::string::npos;
  for (std::size_t j = 0; j < n; ++j) {
    if (v[j] == '#') {
      if (open == std::string::npos) {
        open = j;
      } else {
        for (std::size_t m = open; m <= j; ++m) v[m] = ' ';
        open = std::string::npos;
      }
    }
  }
  if (open != std::string::npos) {
    for (std::size_t m = open; m < n; ++m) v[m] = ' ';
  }
  return v;
}

// Position of the first word ";" of the visible text, or npos.
std::size_t FindSemicolonWord(std::string_view visible) {
  std::size_t pos = 0;
  std::size_t start = 0;
  std::string word;
  while (NextCmfWord(visible, pos, word, start)) {
    if (word == ";") return start;
  }
  return std::string::npos;
}

bool CommentWord(const std::string& word) {
  return word[0] == '!' && (word.size() == 1 || word[1] != '!');
}

enum class Body { kCleaned, kShocks };

bool CellNamesNoFile(const std::string& cell) {
  return cell.empty() || cell == "?" || cell == "N/A";
}

// The Common row's file of a column, when its cell names one that exists.
std::optional<std::string> CommonFile(const TSimRecord& sim, int column, const char* ext) {
  const std::string& cell = sim.CMFCells(kCommonRow, column);
  if (CellNamesNoFile(cell)) return std::nullopt;
  return FindTableFile(sim, cell + ext);
}

// A period's file. It is not looked for first: a missing one fails as its copy's open
// would, shock files with the shock copier's tag.
Result<std::string> PeriodFile(const TSimRecord& sim, const std::string& cell, const char* ext,
                               Body body) {
  std::string name = UpperCase(cell) + ext;
  // An empty cell names no file at all, even when a hidden file of that name exists.
  if (!cell.empty()) {
    if (auto found = FindTableFile(sim, name)) return *found;
  }
  std::string error = "Cannot open file " + JoinPath(sim.SimDir, name) + "[TxtOpen]";
  if (body == Body::kShocks) error += " [AppendShocks]";
  return Fail(error);
}

void WriteBang(TextWriter& cmf, std::string_view title, std::string_view rule) {
  cmf.WriteLine("!");
  cmf.WriteLine(std::string(title));
  cmf.WriteLine(std::string(rule));
  cmf.WriteLine("!");
}

Status WriteSection(TextWriter& cmf, std::string_view label, const std::string& path, Body body,
                    const std::string& year) {
  auto comment = [&](std::string_view which) {
    std::string text("! ");
    text.append(which).append(" ").append(label).append(" file \"");
    text.append(FileNameOf(path)).append("\"");
    return text;
  };
  cmf.WriteLine(" ");
  cmf.WriteLine(comment("Begin"));
  Status copied =
      body == Body::kCleaned ? CopyCleanedLines(cmf, path) : AppendShocks(cmf, path, year, true);
  if (!copied) return copied;
  cmf.WriteLine(comment("End"));
  cmf.WriteLine(" ");
  if (cmf.Failed()) return Fail("write error");
  return Ok();
}

Status WriteClosureShocks(const TSimRecord& sim, int period, int run, TextWriter& cmf,
                          bool policy_shocks, bool include_shocks) {
  CheckRun(run);
  CheckIndex(period, 0, kMaxPeriods, "period");
  const std::string year = Year4(sim.Years[period]);
  const int closure = ClosureColumn(run);

  if (auto common = CommonFile(sim, closure, ".CLS")) {
    if (auto s = WriteSection(cmf, "Common Closure", *common, Body::kCleaned, year); !s) return s;
  }
  if (period > 0 && sim.CMFCells(period, closure) != "?") {
    auto file = PeriodFile(sim, sim.CMFCells(period, closure), ".CLS", Body::kCleaned);
    if (!file) return Fail(file.error());
    auto s = WriteSection(cmf, "Period-specific Closure", *file, Body::kCleaned, year);
    if (!s) return s;
  }
  if (!include_shocks) return Ok();

  if (run == kPolicy && policy_shocks) {
    std::optional<std::string> period_file;
    if (period > 0 && !CellNamesNoFile(sim.CMFCells(period, kPolicyShocks))) {
      auto file = PeriodFile(sim, sim.CMFCells(period, kPolicyShocks), ".PSH", Body::kShocks);
      if (!file) return Fail(file.error());
      period_file = *file;
    }
    auto common = CommonFile(sim, kPolicyShocks, ".PSH");
    if (common || period_file) {
      WriteBang(cmf, "! The (Extra) Policy Shocks", "! -------------------------");
      if (common) {
        auto s = WriteSection(cmf, "Common Policy Shocks", *common, Body::kShocks, year);
        if (!s) return s;
      }
      if (period_file) {
        auto s =
            WriteSection(cmf, "Period-specific Policy Shocks", *period_file, Body::kShocks, year);
        if (!s) return s;
      }
    }
  }
  if (policy_shocks || run != kPolicy) {
    WriteBang(cmf, "! The Base Case Shocks", "! --------------------");
  }
  if (run == kBase) {
    if (auto common = CommonFile(sim, kBaseShocks, ".BSH")) {
      auto s = WriteSection(cmf, "Common Shocks", *common, Body::kShocks, year);
      if (!s) return s;
    }
    if (period > 0 && sim.CMFCells(period, kBaseShocks) != "?") {
      auto file = PeriodFile(sim, sim.CMFCells(period, kBaseShocks), ".BSH", Body::kShocks);
      if (!file) return Fail(file.error());
      auto s = WriteSection(cmf, "Period-Specific Shocks", *file, Body::kShocks, year);
      if (!s) return s;
    }
  }
  if (cmf.Failed()) return Fail("write error");
  return Ok();
}

}  // namespace

std::string CleanCmfLine(std::string_view line) {
  std::string r(line);
  for (char& c : r) {
    unsigned char u = static_cast<unsigned char>(c);
    if (u < 33 || u > 126) c = ' ';
  }
  return r;
}

Status CopyCleanedLines(TextWriter& out, const std::string& path) {
  TextReader in;
  if (auto s = in.Open(path); !s) return s;
  std::string line;
  while (in.ReadLine(line)) {
    out.WriteLine(CleanCmfLine(line));
    if (out.Failed()) return Fail("write error");
  }
  if (in.ReadFailed()) return Fail("read error from file " + path);
  return Ok();
}

std::optional<std::string> FindTableFile(const TSimRecord& sim, const std::string& name) {
  return FindFileNoCase(sim.SimDir, name);
}

std::string ShockYearTagger::Process(std::string line) {
  std::size_t pos = 0;
  std::size_t start = 0;
  std::string first;
  if (!NextCmfWord(line, pos, first, start) || CommentWord(first)) return line;
  std::string visible = VisibleText(line);
  {
    // A line that is all comment or "#...#" text is no statement either.
    std::size_t vpos = 0;
    std::string w;
    if (!NextCmfWord(visible, vpos, w)) return line;
  }
  if (!open_) {
    tagged_ = false;
    prefix_.clear();
    const std::size_t n = line.size();
    std::size_t tag_start = pos;
    while (tag_start < n && IsBlankOrTab(line[tag_start])) ++tag_start;
    std::size_t tag_end = tag_start;
    while (tag_end < n && !IsBlankOrTab(line[tag_end])) ++tag_end;
    const std::string tag = line.substr(tag_start, tag_end - tag_start);
    const std::string lower = LowerCase(tag);
    if (tag.size() > 5 && tag.back() == '>' && lower.starts_with("<year=")) {
      prefix_ = tag.substr(6, tag.size() - 7);
      tagged_ = !prefix_.empty();
    } else if (lower == "<year>") {
      prefix_.assign(1, 'Y');
      tagged_ = true;
    }
    if (tagged_) {
      std::string without;
      without.reserve(line.size());
      without.append(line, 0, pos).append(1, ' ').append(line, tag_end, std::string::npos);
      line.swap(without);
      visible = VisibleText(line);
    }
  }
  std::size_t semi = FindSemicolonWord(visible);
  if (semi == std::string::npos) {
    open_ = true;
    return line;
  }
  if (tagged_) {
    std::string slice(" slice \"");
    slice.append(prefix_).append(year_).append("\" ");
    line.insert(semi, slice);
  }
  open_ = false;
  return line;
}

Status AppendShocks(TextWriter& cmf, const std::string& shock_file, const std::string& year,
                    bool sanitise) {
  auto run = [&]() -> Status {
    TextReader in;
    if (auto s = in.Open(shock_file); !s) return s;
    ShockYearTagger tagger(year);
    std::string line;
    while (in.ReadLine(line)) {
      cmf.WriteLine(tagger.Process(sanitise ? CleanCmfLine(line) : line));
      if (cmf.Failed()) return Fail("write error");
    }
    if (in.ReadFailed()) return Fail("read error from file " + shock_file);
    return Ok();
  };
  Status s = run();
  if (!s) s.error() += " [AppendShocks]";
  return s;
}

Status AddClosureShocksToCMF(const TSimRecord& sim, int period, int run, TextWriter& cmf,
                             bool policy_shocks, bool include_shocks) {
  return Tag(WriteClosureShocks(sim, period, run, cmf, policy_shocks, include_shocks),
             "AddClosureShocksToCMF");
}

}  // namespace yl
