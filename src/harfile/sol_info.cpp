#include "harfile/sol_info.h"

#include <algorithm>
#include <climits>

#include "core/status.h"
#include "core/text_util.h"
#include "platform/text_file.h"

namespace yl {

const std::array<const char*, kSolInfoItems> kSolInfoKeywords = {
    "#FILES",     "#TABFILE",     "#TMDATE",     "#STIFILE",      "#SETS",      "#VARIABLES",
    "#VCSTAT",    "#VCTP",        "#SUBSETS",    "#COEFFICIENTS", "#EQUATIONS", "#READS",
    "#READEXTRA", "#NCVARIABLES", "#STATEMENTS", "#AVAIL",        "#LEVN",      "#NSOL",
    "#VBDSC",     "#SVVER",       "#PRVER",      "#FINAL_LEVEL"};

namespace {

// Generated element names of sets with unlisted elements are not backed by the file;
// one read makes at most this many.
constexpr std::int64_t kMaxGeneratedElements = 1'000'000;
// Per-component flags held by one read, in all variables together.
constexpr std::int64_t kMaxComponentFlags = std::int64_t{1} << 31;

bool Implemented(int item) {
  return (item >= 0 && item <= 7) || item == 9 || item == 10 || item == 13 ||
         (item >= 18 && item <= 21);
}

// Reads the lines the way a Pascal text file is read: integers free-form across line
// ends, whole lines from the current column.
class Cursor {
 public:
  explicit Cursor(const std::vector<std::string>& lines) : lines_(lines) {}
  bool AtEnd() const { return li_ >= lines_.size(); }
  bool ReadLine(std::string& out) {
    if (AtEnd()) return false;
    const std::string& l = lines_[li_];
    out = col_ < l.size() ? l.substr(col_) : std::string();
    ++li_;
    col_ = 0;
    return true;
  }
  void SkipLine() {
    if (!AtEnd()) {
      ++li_;
      col_ = 0;
    }
  }
  bool ReadInt(std::int32_t& v) {
    while (!AtEnd()) {
      const std::string& l = lines_[li_];
      while (col_ < l.size() && (l[col_] == ' ' || l[col_] == '\t')) ++col_;
      if (col_ < l.size()) return ParseInt(l, col_, v);
      ++li_;
      col_ = 0;
    }
    return false;
  }
  // An integer at pos of a line, after blanks; pos moves past it.
  static bool ParseInt(const std::string& l, std::size_t& pos, std::int32_t& v) {
    while (pos < l.size() && (l[pos] == ' ' || l[pos] == '\t')) ++pos;
    bool neg = false;
    if (pos < l.size() && (l[pos] == '-' || l[pos] == '+')) neg = l[pos++] == '-';
    if (pos >= l.size() || l[pos] < '0' || l[pos] > '9') return false;
    std::int64_t x = 0;
    while (pos < l.size() && l[pos] >= '0' && l[pos] <= '9') {
      x = x * 10 + (l[pos++] - '0');
      if (x > INT_MAX) return false;
    }
    v = static_cast<std::int32_t>(neg ? -x : x);
    return true;
  }

 private:
  const std::vector<std::string>& lines_;
  std::size_t li_ = 0;
  std::size_t col_ = 0;
};

std::string Field(const std::string& line, std::size_t from, std::size_t to) {
  if (from >= line.size()) return "";
  return Trim(line.substr(from, std::min(line.size(), to) - from));
}

struct Budget {
  std::int64_t elements = kMaxGeneratedElements;
  std::int64_t flags = kMaxComponentFlags;
};

Status ReadDescNLinesUnKnown(Cursor& c, SolInfoRec& rec) {
  std::int32_t n = 0;
  if (!c.ReadInt(n)) return Fail("cannot read NDescLine");
  if (n < 0) return Tag(Status(Fail("NumToRead<0")), "ReadDescNLinesUnKnown");
  c.SkipLine();
  rec.description.clear();
  for (std::int32_t i = 0; i < n; ++i) {
    std::string line;
    if (!c.ReadLine(line)) {
      return Tag(Status(Fail("Unexpected end of file")), "ReadDescNLinesUnKnown");
    }
    if (i < kMaxDescLines) rec.description.push_back(line);
  }
  return Ok();
}

Status ReadSetInfo(Cursor& c, SolInfoRec& rec, Budget& budget) {
  constexpr const char* kRoutine = "ReadSetInfo";
  std::int32_t n = 0;
  if (!c.ReadInt(n) || n < 0) return FailSpaced("cannot read NVaraSet", kRoutine);
  if (n > kMaxSolInfoSets) return FailSpaced("Too many sets - max is 1000", kRoutine);
  if (rec.sets_read) return FailSpaced("SetData<>nil", kRoutine);
  c.SkipLine();
  rec.sets_read = true;
  rec.sets.reserve(static_cast<std::size_t>(n));
  for (std::int32_t i = 0; i < n; ++i) {
    std::string line;
    if (!c.ReadLine(line)) return FailSpaced("cannot read Set data line", kRoutine);
    TSetRec s;
    s.name = Field(line, 6, 18);
    std::size_t pos = 18;
    if (line.size() <= pos || !Cursor::ParseInt(line, pos, s.size)) {
      return FailSpaced("cannot read Set data line", kRoutine);
    }
    pos += 2;
    char status = pos < line.size() ? line[pos] : ' ';
    s.description = Field(line, pos + 1, line.size());
    if (s.description.empty()) s.description = s.name;
    s.elements_known = status == 'k';
    if (s.size >= 0 && s.elements_known) {
      for (std::int32_t e = 0; e < s.size; ++e) {
        std::string el;
        if (!c.ReadLine(el)) return FailSpaced("cannot read Set data line", kRoutine);
        s.elements.push_back(Trim(el));
      }
    } else if (s.size >= 0) {
      if (s.size > budget.elements) {
        return FailSpaced(
            "Set " + s.name + " has too many elements (" + std::to_string(s.size) + ")", kRoutine);
      }
      budget.elements -= s.size;
      std::string stem = s.name.substr(0, 9);
      s.elements.reserve(static_cast<std::size_t>(s.size));
      for (std::int32_t e = 1; e <= s.size; ++e) {
        std::string& el = s.elements.emplace_back(stem);
        el += std::to_string(e);
      }
    }
    rec.sets.push_back(std::move(s));
  }
  return Ok();
}

Status AddKeyToRBTree(SolInfoRec& rec, const std::string& key, const std::string& shown,
                      std::int32_t number) {
  if (key.empty()) return Tag(Status(Fail("Cannot add blank key")), "AddKeyToRBTree");
  if (!rec.name_index.emplace(key, number).second) {
    return Tag(Status(Fail("Duplicate name: \"" + shown + "\"")), "AddKeyToRBTree");
  }
  return Ok();
}

Status ReadVarDetails(Cursor& c, SolInfoRec& rec, const SolInfoOptions& options, Budget& budget) {
  auto fail = [](std::string text) { return Tag(Status(Fail(std::move(text))), "ReadVarDetails"); };
  std::string line;
  if (!c.ReadLine(line)) return fail("read error");
  TVarRec v;
  v.name = Field(line, 6, 21);
  std::size_t pos = 21;
  if (line.size() <= pos || !Cursor::ParseInt(line, pos, v.components) ||
      !Cursor::ParseInt(line, pos, v.arguments)) {
    return fail("read error");
  }
  char dum1 = pos < line.size() ? line[pos] : ' ';
  char status = pos + 1 < line.size() ? line[pos + 1] : ' ';
  if (dum1 != ' ') return fail("Dum1 should be blank");
  if (v.name.empty()) return fail("Variable name is blank");
  if (v.arguments < 0 || v.arguments > 7) {
    return fail("Variable " + v.name + " has " + std::to_string(v.arguments) +
                " arguments; max is 7");
  }
  if (std::string_view("XNB?sox").find(status) == std::string_view::npos) {
    return fail("For variable " + v.name + " ExoStat was \"" + std::string(1, status) +
                "\"; should be X, N, B, ?, s, o or x. ");
  }
  v.status = status;
  v.label = Field(line, pos + 2, line.size());
  v.upper_name = UpperCase(v.name);
  if (v.arguments > 0) {
    if (!rec.sets_read) return fail("SetData=nil");
    for (std::int32_t a = 0; a < v.arguments; ++a) {
      std::int32_t k = 0;
      if (!c.ReadInt(k)) return fail("read error");
      if (k < 1 || k > static_cast<std::int32_t>(rec.sets.size())) return fail("SetPtr=nil");
      v.set_numbers[a] = k;
      const TSetRec& s = rec.sets[k - 1];
      if (a > 0) v.set_text += '*';
      v.set_text += s.name;
      if (s.size < 0) v.components = -1;
    }
    c.SkipLine();
  }
  std::vector<std::pair<std::int32_t, std::int32_t>> ranges;
  if (status == 'X') {
    v.exogenous = std::max(v.components, 0);
  } else if (status == 'x') {
    std::int32_t declared = 0;
    if (!c.ReadInt(declared)) return fail("read error");
    c.SkipLine();
    std::int64_t counted = 0;
    for (;;) {
      std::string r;
      if (!c.ReadLine(r)) return fail("2I read error");
      std::string left = r.substr(0, std::min<std::size_t>(10, r.size()));
      std::string right = r.size() > 10 ? r.substr(10, 10) : "";
      std::size_t p1 = 0, p2 = 0;
      std::int32_t first = 0, last = 0;
      if (!Cursor::ParseInt(left, p1, first) || !Cursor::ParseInt(right, p2, last)) {
        return fail("2I read error");
      }
      if (first == 0) break;
      if (first > last) return fail("1st exog component > 2nd for var " + v.name);
      if (first < 1 || (v.components >= 0 && last > v.components)) {
        return fail("Exogenous component out of range for var " + v.name);
      }
      counted += std::int64_t{last} - first + 1;
      ranges.emplace_back(first, last);
    }
    if (counted != declared) return fail("NExog Miscount for var " + v.name);
    v.exogenous = declared;
  }
  if (options.component_flags && v.components > 0) {
    if (v.components > budget.flags) {
      return fail("Too many components for var " + v.name);
    }
    budget.flags -= v.components;
    v.exo_flags.assign(static_cast<std::size_t>(v.components), status == 'X');
    for (auto [a, b] : ranges) {  // within 1..components, checked above
      for (std::int32_t i = a; i <= b; ++i) v.exo_flags[static_cast<std::size_t>(i - 1)] = true;
    }
  }
  std::string key = options.lower_case_keys ? LowerCase(v.name) : v.name;
  std::int32_t number = static_cast<std::int32_t>(rec.variables.size()) + 1;
  if (auto r = AddKeyToRBTree(rec, key, v.name, number); !r) return r;
  rec.variables.push_back(std::move(v));
  return Ok();
}

Status ReadVarInfo(Cursor& c, SolInfoRec& rec, const SolInfoOptions& options, Budget& budget) {
  std::int32_t n = 0;
  if (!c.ReadInt(n) || n < 0) return Tag(Status(Fail("cannot read NVaraVar")), "ReadVarInfo");
  if (n > kMaxSolInfoVariables) return Tag(Status(Fail("Too many variables")), "ReadVarInfo");
  c.SkipLine();
  for (std::int32_t i = 0; i < n; ++i) {
    if (auto r = ReadVarDetails(c, rec, options, budget); !r) return Tag(r, "ReadVarInfo");
  }
  return Ok();
}

// One character per variable, 40 to a line; a shorter line ends the section.
Status ReadClosureChars(Cursor& c, SolInfoRec& rec, bool vcstat) {
  const char* what = vcstat ? "#VCSTAT" : "#VCTP";
  const char* routine = vcstat ? "ReadVCSTAT" : "ReadVCTP";
  std::size_t want = rec.variables.size();
  std::size_t got = 0;
  while (got < want) {
    std::string line;
    if (!c.ReadLine(line)) break;
    for (char ch : line) {
      char l = (ch >= 'A' && ch <= 'Z') ? static_cast<char>(ch - 'A' + 'a') : ch;
      bool ok = vcstat ? (l == 'b' || l == 'c') : (l == 'p' || l == 'c' || l == 'n');
      if (!ok) {
        return Tag(
            Status(Fail("Unexpected char \"" + std::string(1, ch) + "\"in " + what + " data")),
            routine);
      }
      if (got >= want) {
        return Tag(
            Status(Fail("More than " + std::to_string(want) + " chars in " + what + " data")),
            routine);
      }
      TVarRec& v = rec.variables[got++];
      if (vcstat) {
        v.vcstat = l;
      } else {
        v.vctp = l == 'n' ? 'c' : l;
      }
    }
    if (line.size() < 40) break;
  }
  if (got < want) {
    return Tag(Status(Fail("Expected " + std::to_string(want) + " chars in " + what +
                           " data\r\nfound only " + std::to_string(got) + " chars")),
               routine);
  }
  return Ok();
}

}  // namespace

bool TVarRec::IsExogenous(std::int32_t component) const {
  if (component < 1) return false;
  if (static_cast<std::size_t>(component) <= exo_flags.size()) {
    return exo_flags[static_cast<std::size_t>(component - 1)];
  }
  return status == 'X';
}

std::int32_t SolInfoRec::Lookup(std::string_view name) const {
  auto it = name_index.find(LowerCase(name));
  return it == name_index.end() ? 0 : it->second;
}

void FreeSolInfo(SolInfoRec& rec) { rec = SolInfoRec(); }

Status GetModelInfo(const std::vector<std::string>& lines, const std::vector<int>& items,
                    const SolInfoOptions& options, SolInfoRec& rec) {
  constexpr const char* kRoutine = "GetModelInfo";
  std::array<bool, kSolInfoItems> wanted{};
  for (int item : items) {
    if (!Implemented(item)) {
      std::string kw =
          item >= 0 && item < kSolInfoItems ? kSolInfoKeywords[item] : std::to_string(item);
      return Tag(Status(Fail("Requested UnImplemented Data Item " + kw)), kRoutine);
    }
    wanted[item] = true;
  }
  for (int item : {kSiTabFile, kSiTmDate, kSiStiFile, kSiSvVer, kSiPrVer}) wanted[item] = true;

  Cursor c(lines);
  Budget budget;
  std::string line;
  while (c.ReadLine(line)) {
    int item = -1;
    for (int i = 0; i < kSolInfoItems; ++i) {
      if (line == kSolInfoKeywords[i]) item = i;
    }
    if (item < 0 || !wanted[item]) continue;
    Status r = Ok();
    switch (item) {
      case kSiSvVer:
      case kSiPrVer: {
        std::int32_t v = 0;
        if (!c.ReadInt(v)) {
          r = Fail(item == kSiSvVer ? "Could not read SVVER field."
                                    : "Could not read PRVER field.");
        } else {
          (item == kSiSvVer ? rec.SVVER : rec.PRVER) = v;
        }
        break;
      }
      case kSiTmDate:
      case kSiStiFile:
      case kSiTabFile: {
        std::string v;
        if (!c.ReadLine(v)) {
          r = Fail(item == kSiTmDate    ? "Could not read TMDATE field."
                   : item == kSiStiFile ? "Could not read STIFILE field."
                                        : "Could not read TABFILE field.");
        } else {
          (item == kSiTmDate ? rec.TMDATE : item == kSiStiFile ? rec.STIFILE : rec.TABFILE) = v;
        }
        break;
      }
      case kSiVbDsc:
        r = ReadDescNLinesUnKnown(c, rec);
        break;
      case kSiSets:
        r = ReadSetInfo(c, rec, budget);
        break;
      case kSiVariables:
        r = ReadVarInfo(c, rec, options, budget);
        break;
      case kSiVcStat:
      case kSiVcTp:
        r = ReadClosureChars(c, rec, item == kSiVcStat);
        break;
      default:
        continue;  // known to the format, not needed here: its lines are passed over
    }
    if (!r) return Tag(r, kRoutine);
    rec.items_read[item] = true;
  }
  return Ok();
}

Status AddSolInfo(const std::string& path, const std::vector<int>& items,
                  const SolInfoOptions& options, SolInfoRec& rec) {
  auto lines = ReadTextLines(path);
  if (!lines) return Tag(Status(Fail(lines.error())), "AddSolInfo:" + path);
  if (auto r = GetModelInfo(*lines, items, options, rec); !r) return Tag(r, "AddSolInfo:" + path);
  return Ok();
}

Status RequestSolInfo(const std::string& path, const std::vector<int>& items,
                      const SolInfoOptions& options, SolInfoRec& rec) {
  FreeSolInfo(rec);
  if (auto r = AddSolInfo(path, items, options, rec); !r) return Tag(r, "RequestSolInfo:" + path);
  return Ok();
}

}  // namespace yl
