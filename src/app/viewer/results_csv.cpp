#include "app/viewer/results_csv.h"

#include <algorithm>

#include "app/viewer/viewer_files.h"
#include "core/number_text.h"
#include "core/text_util.h"

namespace yl {

namespace {

constexpr const char* kHeadings[] = {"Variable", "Element", "Type", "Label"};
constexpr std::size_t kFixedColumns = 4;
constexpr std::string_view kBom = "\xEF\xBB\xBF";
// Far more columns than any run has years; it keeps a hostile line from costing gigabytes.
constexpr std::size_t kMaxFields = 100'000;

enum class Split { kOk, kOpenQuote, kTooMany };

Split SplitFields(std::string_view line, std::vector<std::string>& fields) {
  fields.clear();
  if (static_cast<std::size_t>(std::count(line.begin(), line.end(), ',')) >= kMaxFields) {
    return Split::kTooMany;
  }
  std::string cur;
  bool quoted = false;
  for (std::size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (quoted) {
      if (c != '"') {
        cur += c;
      } else if (i + 1 < line.size() && line[i + 1] == '"') {
        cur += '"';
        ++i;
      } else {
        quoted = false;
      }
    } else if (c == '"') {
      quoted = true;
    } else if (c == ',') {
      fields.push_back(std::move(cur));
      cur.clear();
    } else {
      cur += c;
    }
  }
  fields.push_back(std::move(cur));
  return quoted ? Split::kOpenQuote : Split::kOk;
}

std::string SplitProblem(Split s) {
  return s == Split::kTooMany ? "more than " + std::to_string(kMaxFields) + " fields"
                              : "a quoted field is not closed";
}

std::string_view WithoutBom(std::string_view text) {
  if (text.starts_with(kBom)) text.remove_prefix(kBom.size());
  return text;
}

}  // namespace

std::optional<std::vector<int>> ResultsCsv::Years() const {
  std::vector<int> years;
  for (const std::string& c : columns) {
    std::optional<int> y = ParseInt(Trim(c));
    if (!y || *y < 1 || *y > 9999) return std::nullopt;
    years.push_back(*y);
  }
  return years;
}

const ResultsCsvRow* ResultsCsv::Find(std::string_view variable, std::string_view element) const {
  for (const ResultsCsvRow& r : rows) {
    if (SameText(r.variable, variable) && SameText(r.element, element)) return &r;
  }
  return nullptr;
}

bool LooksLikeResultsCsv(std::string_view head) { return WithoutBom(head).starts_with("Results,"); }

Result<ResultsCsv> ParseResultsCsv(std::string_view text, const std::string& path) {
  auto fail = [&](std::size_t line, const std::string& problem) {
    return Fail(path + ", line " + std::to_string(line) + ": " + problem);
  };
  const std::vector<std::string> lines = SplitLines(WithoutBom(text));
  ResultsCsv t;
  std::vector<std::string> f;
  std::size_t i = 0;
  bool heading = false;
  for (; i < lines.size() && !heading; ++i) {
    if (Trim(lines[i]).empty()) continue;
    if (Split s = SplitFields(lines[i], f); s != Split::kOk) return fail(i + 1, SplitProblem(s));
    if (t.kind.empty()) {
      if (f.size() < 2 || f[0] != "Results" || Trim(f[1]).empty()) {
        return fail(i + 1, "this is not a results table (its first row must be \"Results,KIND\")");
      }
      t.kind = Trim(f[1]);
    } else if (f[0] == kHeadings[0]) {
      if (f.size() <= kFixedColumns) return fail(i + 1, "the heading row names no value column");
      for (std::size_t k = 0; k < kFixedColumns; ++k) {
        if (f[k] != kHeadings[k]) {
          return fail(i + 1, "heading " + std::to_string(k + 1) + " should be \"" + kHeadings[k] +
                                 "\", not \"" + f[k] + "\"");
        }
      }
      t.columns.assign(f.begin() + kFixedColumns, f.end());
      heading = true;
    } else {
      t.info.emplace_back(f[0], f.size() > 1 ? f[1] : "");
    }
  }
  if (t.kind.empty()) return Fail(path + " holds no results (it is blank)");
  if (!heading) {
    return Fail(path + " ends before its heading row (\"Variable,Element,Type,Label,...\")");
  }
  for (; i < lines.size(); ++i) {
    if (Trim(lines[i]).empty()) continue;
    if (Split s = SplitFields(lines[i], f); s != Split::kOk) return fail(i + 1, SplitProblem(s));
    if (f.size() != kFixedColumns + t.columns.size()) {
      return fail(i + 1, std::to_string(f.size()) + " fields where the heading row has " +
                             std::to_string(kFixedColumns + t.columns.size()));
    }
    ResultsCsvRow r;
    r.variable = Trim(f[0]);
    r.element = Trim(f[1]);
    if (r.variable.empty()) return fail(i + 1, "no variable name");
    const std::string type = Trim(f[2]);
    if (type != "p" && type != "c") return fail(i + 1, "type \"" + type + "\" is not p or c");
    r.type = type[0];
    r.label = f[3];
    r.values.reserve(t.columns.size());
    for (std::size_t k = kFixedColumns; k < f.size(); ++k) {
      const std::optional<double> v = ParseReal(Trim(f[k]));
      if (!v) {
        return fail(i + 1,
                    "\"" + f[k] + "\" under " + t.columns[k - kFixedColumns] + " is not a number");
      }
      r.values.push_back(*v);
    }
    t.rows.push_back(std::move(r));
  }
  return t;
}

Result<ResultsCsv> ReadResultsCsv(const std::string& path) {
  auto text = ReadViewedFile(path, kMaxViewedTextBytes);
  if (!text) return std::unexpected(text.error());
  return ParseResultsCsv(*text, path);
}

}  // namespace yl
