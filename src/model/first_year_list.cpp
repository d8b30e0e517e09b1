#include "model/first_year_list.h"

#include "core/text_util.h"
#include "model/min_file.h"
#include "platform/file_lookup.h"
#include "platform/files.h"
#include "platform/name_quoting.h"
#include "platform/paths.h"
#include "platform/text_file.h"

namespace yl {
namespace {

std::vector<std::string> SplitBlanks(const std::string& s) {
  std::vector<std::string> words;
  std::size_t p = 0;
  while (p < s.size()) {
    while (p < s.size() && (s[p] == ' ' || s[p] == '\t')) ++p;
    std::size_t q = p;
    while (q < s.size() && s[q] != ' ' && s[q] != '\t') ++q;
    if (q > p) words.push_back(s.substr(p, q - p));
    p = q;
  }
  return words;
}

}  // namespace

std::optional<FirstYearLine> ParseFirstYearLine(const std::string& line) {
  std::size_t eq = line.find('=');
  if (eq == std::string::npos) return std::nullopt;
  std::vector<std::string> words = SplitBlanks(line.substr(0, eq));
  if (words.size() != 2 || !SameText(words[0], "file")) return std::nullopt;
  FirstYearLine l;
  l.prefix = line.substr(0, eq + 1);
  // Compared trimmed, so kept trimmed: a stray carriage return is no part of a name.
  l.name = Trim(words[1]);
  std::string rest = TrimLeft(line.substr(eq + 1));
  if (!rest.empty() && rest.front() == '"') {
    std::size_t close = rest.find('"', 1);
    l.file = rest.substr(1, close == std::string::npos ? std::string::npos : close - 1);
  } else {
    l.file = Trim(rest.substr(0, rest.find(';')));
  }
  return l;
}

bool FirstYearLineIsFor(const std::string& line, const std::string& name) {
  auto l = ParseFirstYearLine(line);
  return l && SameText(l->name, Trim(name));
}

std::string FirstYearFilePath(const std::string& file, const std::string& working_dir) {
  if (working_dir.empty()) return file;
  return ResolveAgainst(working_dir, file);
}

std::vector<std::string> BuildFirstYearList(const TSimRecord& rec,
                                            const std::vector<std::string>& saved,
                                            const std::string& working_dir) {
  std::vector<std::string> list;
  for (int i = 1; i <= rec.NumMinFiles; ++i) {
    const TMinFileEntry& m = rec.MinFiles[i];
    if (!m.IsInput || IsSolutionOrEquations(m.Name)) continue;
    std::string file = "??";
    for (const std::string& s : saved) {
      auto l = ParseFirstYearLine(s);
      if (!l || !SameText(l->name, Trim(m.Name)) || l->file.empty() || l->file == "??") continue;
      if (FileExists(FirstYearFilePath(l->file, working_dir))) {
        file = QuoteIfNeeded(l->file);
        break;
      }
    }
    list.push_back("File " + m.Name + " = " + file + " ; ! " + m.Description);
  }
  return list;
}

std::string WithFirstYearFile(const std::string& line, const std::string& file) {
  auto l = ParseFirstYearLine(line);
  if (!l) return line;
  std::string out = l->prefix + " " + (file == "??" ? file : QuoteIfNeeded(file)) + " ;";
  const std::string description = FirstYearLineDescription(line);
  if (!description.empty()) out += " ! " + description;
  return out;
}

std::string FirstYearLineDescription(const std::string& line) {
  // A quoted file name may itself hold "!".
  std::size_t from = line.find('=');
  if (from == std::string::npos) return "";
  std::size_t quote = line.find('"', from);
  std::size_t semi = line.find(';', from);
  if (quote != std::string::npos && quote < semi) {
    std::size_t close = line.find('"', quote + 1);
    if (close == std::string::npos) return "";
    semi = line.find(';', close);
  }
  if (semi == std::string::npos) return "";
  std::size_t bang = line.find('!', semi);
  return bang == std::string::npos ? "" : Trim(line.substr(bang + 1));
}

std::vector<std::string> ApplyMdfLines(const std::vector<std::string>& current,
                                       const std::vector<std::string>& loaded,
                                       const std::string& working_dir) {
  std::vector<std::string> out = current;
  for (std::string& line : out) {
    auto l = ParseFirstYearLine(line);
    if (!l) continue;
    for (const std::string& candidate : loaded) {
      auto c = ParseFirstYearLine(candidate);
      if (!c || !SameText(c->name, l->name) || c->file.empty() || c->file == "??") continue;
      if (!FileExists(FirstYearFilePath(c->file, working_dir))) continue;
      line = WithFirstYearFile(line, c->file);
      break;
    }
  }
  return out;
}

FirstYearFileCheck CheckFirstYearLine(std::string& line, const std::string& working_dir) {
  FirstYearFileCheck c;
  auto l = ParseFirstYearLine(line);
  if (!l) return c;
  if (l->file == "??" || l->file.empty()) {
    c.state = FirstYearFileState::kUnnamed;
    return c;
  }
  if (FileExists(FirstYearFilePath(l->file, working_dir))) return c;
  std::string before_eq = l->prefix.substr(0, l->prefix.size() - 1);
  c.state = FirstYearFileState::kGone;
  c.file = l->file;
  c.logical_name = Trim(UpperCase(before_eq.size() > 4 ? before_eq.substr(4, 12) : ""));
  line = l->prefix + " ?? ;";
  return c;
}

bool FirstYearFilesComplete(std::vector<std::string>& lines, const std::string& working_dir) {
  bool complete = true;
  for (std::string& line : lines) {
    if (CheckFirstYearLine(line, working_dir).state != FirstYearFileState::kPresent) {
      complete = false;
    }
  }
  return complete;
}

std::string ProposedMdfName(const ModelState& model) {
  std::string name = model.ModelName + ".MDF";
  if (!model.ModelDir.empty() && FileExistsNoCase(model.ModelDir, name)) return "*.MDF";
  return name;
}

Status WriteMdfFile(const std::string& path, const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& l : lines) text += l + "\n";
  return WriteFileAtomically(path, text);
}

Result<std::vector<std::string>> ReadMdfFile(const std::string& path) {
  auto lines = ReadTextLines(path);
  if (!lines) return lines;
  return MdfLines(std::move(*lines));
}

std::vector<std::string> MdfLines(std::vector<std::string> lines) {
  std::erase_if(lines, [](const std::string& l) { return Trim(l).empty(); });
  return lines;
}

}  // namespace yl
