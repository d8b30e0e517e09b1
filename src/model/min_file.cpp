#include "model/min_file.h"

#include "core/internal_error.h"
#include "core/text_util.h"
#include "model/time_stamp.h"
#include "platform/paths.h"
#include "platform/text_file.h"

namespace yl {
namespace {

std::string Column(const std::string& line, std::size_t first, std::size_t count) {
  if (first >= line.size()) return "";
  return line.substr(first, count);
}

bool IsMarker(const std::string& line, const char* marker) { return TrimRight(line) == marker; }

// Markers that carry their value on the following line.
bool IsValueMarker(const std::string& line) {
  return IsMarker(line, "#SVVER") || IsMarker(line, "#PRVER") || IsMarker(line, "#TMDATE") ||
         IsMarker(line, "#STIFILE");
}

}  // namespace

bool MinEntryLine::is_input() const { return SameText(usage, "in"); }

MinEntryLine ParseMinEntryLine(const std::string& line) {
  MinEntryLine e;
  e.name = TrimRight(Column(line, 0, 20));
  e.usage = Trim(Column(line, 22, 3));
  e.updated = line.size() > 29 && (line[29] == 'y' || line[29] == 'Y');
  e.type = LowerCase(Trim(Column(line, 32, 3)));
  e.fixed_name = Trim(Column(line, 37, std::string::npos));
  return e;
}

bool IsSolutionOrEquations(const std::string& name) {
  return SameText(name, "(solution)") || SameText(name, "(equations)");
}

Result<MinContents> ReadMinContents(const std::string& min_path, const std::string& model_dir) {
  auto read = ReadTextLines(min_path);
  if (!read) return Fail(read.error());
  return ParseMinContents(*read, min_path, model_dir);
}

Result<MinContents> ParseMinContents(const std::vector<std::string>& lines,
                                     const std::string& min_path, const std::string& model_dir) {
  const std::string eof = "Unexpected end of file " + min_path;
  MinContents min;

  // Items that may stand anywhere in the file.
  std::optional<int> svver, prver;
  for (std::size_t i = 0; i + 1 < lines.size(); ++i) {
    if (IsMarker(lines[i], "#SVVER")) {
      svver = ParseInt(Trim(lines[i + 1]));
    } else if (IsMarker(lines[i], "#PRVER")) {
      if (svver) prver = ParseInt(Trim(lines[i + 1]));
    } else if (IsMarker(lines[i], "#TMDATE") && min.stamp.empty()) {
      min.stamp = CleanStamp(lines[i + 1]);
    }
  }
  if (svver && prver) min.release = MinRelease{*svver, *prver};

  std::size_t i = 2;  // two header lines
  for (; i < lines.size(); ++i) {
    const std::string& line = lines[i];
    if (IsMarker(line, "#TABFILE")) break;
    if (Trim(line).empty()) continue;
    if (IsValueMarker(line)) {
      ++i;
      continue;
    }
    if (line.front() == '#') continue;
    MinEntry e;
    e.line = line;
    e.fields = ParseMinEntryLine(line);
    if (!e.fields.special()) {
      if (i + 1 >= lines.size()) return Fail(eof);
      e.description = TrimRight(Column(lines[++i], 0, 80));
    } else if (SameText(e.fields.name, "(terminal)")) {
      e.description = "Data read from terminal";
    }
    min.entries.push_back(std::move(e));
  }
  if (i < lines.size()) {  // at "#TABFILE"
    if (i + 1 >= lines.size()) return Fail(eof);
    std::string tab = Trim(lines[i + 1]);
    min.tab_path = tab.empty() ? "" : ResolveAgainst(model_dir, tab);
    for (i += 2; i < lines.size(); ++i) {
      if (!IsMarker(lines[i], "#STIFILE")) continue;
      if (i + 1 >= lines.size()) return Fail(eof);
      std::string sti = Trim(lines[i + 1]);
      if (!SameText(sti, "%none")) min.sti_name = sti;
      break;
    }
  }
  return min;
}

TMinFileEntry ToMinFileEntry(const MinEntry& e) {
  TMinFileEntry m;
  m.Name = e.fields.name;
  m.IsInput = e.fields.is_input();
  m.IsUpdated = e.fields.updated;
  m.Special = e.fields.special();
  if (!m.Special) {
    m.Type = e.fields.type;
  } else if (SameText(m.Name, "(equations)")) {
    m.Type = "eq4";
  } else if (SameText(m.Name, "(display)")) {
    m.Type = "dis";
  } else if (SameText(m.Name, "(solution)")) {
    m.Type = "sl4";
  } else {
    m.Type = m.Name.substr(1, 3);
  }
  m.Description = e.description;
  return m;
}

void StoreMinEntries(const MinContents& min, TSimRecord& rec, std::vector<std::string>& lines) {
  lines.clear();
  rec.NumMinFiles = 0;
  for (const MinEntry& e : min.entries) {
    if (!IsSolutionOrEquations(e.fields.name)) lines.push_back(e.line);
    if (rec.NumMinFiles >= kMaxLogicalFiles) {
      throw InternalError("The Model Information file lists more than " +
                          std::to_string(kMaxLogicalFiles) + " logical files");
    }
    rec.MinFiles[++rec.NumMinFiles] = ToMinFileEntry(e);
  }
}

std::optional<std::string> MinEntriesRefusal(const MinContents& min) {
  for (const MinEntry& e : min.entries) {
    const MinEntryLine& f = e.fields;
    if (SameText(f.name, "(terminal)")) {
      return "This model reads data from the terminal.\r\nAt present such models cannot be used "
             "with Yearloom.\r\nNo change made.";
    }
    if (SameText(f.name, "(solution)") && !f.updated) {
      return "Nothing in this model is updated, so\r\n it is not possible to carry out simulations "
             "with this model.\r\nSuch models cannot be used with Yearloom.\r\nNo change made.";
    }
    if (!f.fixed_name.empty()) {
      return "In this model, the name of the data file corresponding \r\n to logical name \"" +
             f.name + "\" is hard-wired in the TAB file as \"" + f.fixed_name +
             "\"\r\nAt present models where actual file names are hard-wired cannot be used with "
             "Yearloom.\r\nNo change made.";
    }
  }
  return std::nullopt;
}

}  // namespace yl
