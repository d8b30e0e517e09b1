#include "toolfiles/csv_table.h"

#include "core/number_text.h"
#include "core/text_util.h"
#include "platform/file_lookup.h"
#include "platform/files.h"

namespace yl::toolfiles {

namespace {

constexpr const char* kHeadings[] = {"Variable", "Element", "Type", "Label"};
constexpr std::size_t kFixedColumns = 4;

}  // namespace

std::string TableRow::Component() const {
  return element.empty() ? variable : variable + "(" + element + ")";
}

std::string CsvLine(const std::vector<std::string>& fields) {
  std::string line;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (i > 0) line += ',';
    const std::string& f = fields[i];
    bool quote = f.find_first_of(",\"\r\n") != std::string::npos ||
                 (!f.empty() && (f.front() == ' ' || f.back() == ' '));
    if (!quote) {
      line += f;
      continue;
    }
    line += '"';
    for (char c : f) {
      if (c == '"') line += '"';
      line += c;
    }
    line += '"';
  }
  return line;
}

bool SplitCsvLine(const std::string& line, std::vector<std::string>& fields) {
  fields.clear();
  std::string cur;
  bool quoted = false;
  for (std::size_t i = 0; i < line.size(); ++i) {
    char c = line[i];
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
  return !quoted;
}

std::string FormatValue(double v) {
  if (v == 0) return "0";  // no "-0"
  return FormatReal(v, RealFormat::General(7));
}

std::string FormatTable(const ResultsTable& table) {
  std::string text = CsvLine({"Results", table.kind}) + "\n";
  for (const auto& [key, value] : table.info) text += CsvLine({key, value}) + "\n";
  std::vector<std::string> heading(std::begin(kHeadings), std::end(kHeadings));
  heading.insert(heading.end(), table.columns.begin(), table.columns.end());
  text += CsvLine(heading) + "\n";
  for (const TableRow& r : table.rows) {
    std::vector<std::string> f{r.variable, r.element, std::string(1, r.type), r.label};
    for (double v : r.values) f.push_back(FormatValue(v));
    text += CsvLine(f) + "\n";
  }
  return text;
}

Result<ResultsTable> ParseTable(const std::string& text, const std::string& path) {
  auto fail = [&](std::size_t line, const std::string& problem) {
    return Fail(path + ", line " + std::to_string(line) + ": " + problem);
  };
  std::vector<std::string> lines = SplitLines(text);
  ResultsTable t;
  std::vector<std::string> f;
  std::size_t i = 0;
  bool heading = false;
  for (; i < lines.size(); ++i) {
    if (Trim(lines[i]).empty()) continue;
    if (!SplitCsvLine(lines[i], f)) return fail(i + 1, "a quoted field is not closed");
    if (t.kind.empty()) {
      if (f.size() < 2 || f[0] != "Results" || Trim(f[1]).empty()) {
        return fail(i + 1, "not a results table (the first row must be \"Results,KIND\")");
      }
      t.kind = f[1];
      continue;
    }
    if (f[0] == kHeadings[0]) {
      if (f.size() <= kFixedColumns) return fail(i + 1, "the heading row names no value column");
      for (std::size_t k = 0; k < kFixedColumns; ++k) {
        if (f[k] != kHeadings[k]) {
          return fail(i + 1, std::string("heading ") + std::to_string(k + 1) + " should be \"" +
                                 kHeadings[k] + "\"");
        }
      }
      t.columns.assign(f.begin() + kFixedColumns, f.end());
      heading = true;
      ++i;
      break;
    }
    t.info.emplace_back(f[0], f.size() > 1 ? f[1] : "");
  }
  if (t.kind.empty()) return Fail(path + ": the file is empty");
  if (!heading) return Fail(path + ": no heading row (\"Variable,Element,Type,Label,...\")");
  for (; i < lines.size(); ++i) {
    if (Trim(lines[i]).empty()) continue;
    if (!SplitCsvLine(lines[i], f)) return fail(i + 1, "a quoted field is not closed");
    if (f.size() != kFixedColumns + t.columns.size()) {
      return fail(i + 1, std::to_string(f.size()) + " fields, expected " +
                             std::to_string(kFixedColumns + t.columns.size()));
    }
    TableRow r;
    r.variable = Trim(f[0]);
    r.element = Trim(f[1]);
    if (r.variable.empty()) return fail(i + 1, "no variable name");
    if (f[2] != "p" && f[2] != "c") return fail(i + 1, "type \"" + f[2] + "\" is not p or c");
    r.type = f[2][0];
    r.label = f[3];
    for (std::size_t k = kFixedColumns; k < f.size(); ++k) {
      std::optional<double> v = ParseReal(Trim(f[k]));
      if (!v) return fail(i + 1, "\"" + f[k] + "\" is not a number");
      r.values.push_back(*v);
    }
    t.rows.push_back(std::move(r));
  }
  return t;
}

Result<ResultsTable> ReadTableFile(const std::string& path) {
  // Names are written with ".CSV" in some answers and created as ".csv" by others.
  std::string found = path;
  if (!FileExists(found)) {
    auto other = ResolvePathNoCase(path);
    if (!other) return Fail("File " + path + " does not exist");
    found = *other;
  }
  auto text = ReadWholeFile(found);
  if (!text) return Fail("Cannot read file " + path + ": " + text.error());
  return ParseTable(*text, path);
}

}  // namespace yl::toolfiles
