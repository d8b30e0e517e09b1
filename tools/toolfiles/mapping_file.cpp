#include "toolfiles/mapping_file.h"

#include <sstream>

#include "core/text_util.h"
#include "platform/files.h"
#include "platform/text_file.h"

namespace yl::toolfiles {

Result<std::vector<MapEntry>> ParseMapping(const std::vector<std::string>& lines,
                                           const std::string& path) {
  std::vector<MapEntry> out;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    std::string text = lines[i].substr(0, lines[i].find('!'));
    std::istringstream in(text);
    std::vector<std::string> words;
    for (std::string w; in >> w;) words.push_back(w);
    if (words.empty()) continue;
    MapEntry e;
    e.name = words[0];
    e.line = static_cast<int>(i) + 1;
    if (words.size() > 1 && words[1] == ":") {
      e.elements.assign(words.begin() + 2, words.end());
      if (e.elements.empty()) {
        return Fail(path + ", line " + std::to_string(e.line) + ": no element after \":\"");
      }
    }
    for (const MapEntry& o : out) {
      if (SameText(o.name, e.name)) {
        return Fail(path + ", line " + std::to_string(e.line) + ": variable " + e.name +
                    " is listed twice");
      }
    }
    out.push_back(std::move(e));
  }
  return out;
}

Result<std::vector<MapEntry>> ReadMappingFile(const std::string& path) {
  if (!FileExists(path)) return Fail("The mapping file " + path + " does not exist");
  auto lines = ReadTextLines(path);
  if (!lines) return Fail("Cannot read the mapping file " + path + ": " + lines.error());
  return ParseMapping(*lines, path);
}

Result<std::vector<int>> ComponentsOf(const MapEntry& entry, const ResultVariable& v,
                                      const std::string& map_path) {
  std::vector<int> out;
  if (entry.elements.empty()) {
    for (int c = 0; c < v.Size(); ++c) out.push_back(c);
    return out;
  }
  for (const std::string& e : entry.elements) {
    int c = v.ElementIndex(e);
    if (c < 0) {
      return Fail(map_path + ", line " + std::to_string(entry.line) + ": " + e +
                  " is not an element of the set of variable " + v.name);
    }
    out.push_back(c);
  }
  return out;
}

std::string FormatExogenousMap(const ResultsData& environment, const std::string& source) {
  std::string text = "! Exogenous variables of the environment file " + source + "\n";
  for (const ResultVariable& v : environment.variables) {
    int exo = 0;
    for (bool x : v.exogenous) exo += x ? 1 : 0;
    if (exo == 0) continue;
    std::string line = PadRight(v.name, 15);
    if (exo == v.Size()) {
      line += v.elements.empty() ? " ! exogenous"
                                 : " ! all " + std::to_string(exo) + " components exogenous";
    } else {
      line += " :";
      for (int c = 0; c < v.Size(); ++c) {
        if (v.exogenous[static_cast<std::size_t>(c)]) {
          line += " " + v.elements[static_cast<std::size_t>(c)];
        }
      }
      line += "  ! " + std::to_string(exo) + " of " + std::to_string(v.Size()) +
              " components exogenous";
    }
    text += line + "\n";
  }
  return text;
}

}  // namespace yl::toolfiles
