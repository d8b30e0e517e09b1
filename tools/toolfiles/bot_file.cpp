#include "toolfiles/bot_file.h"

#include "core/number_text.h"

namespace yl::toolfiles {

namespace {

std::string Target(const ResultVariable& v, const std::vector<int>& components) {
  if (static_cast<int>(components.size()) == v.Size()) {
    bool all_in_order = true;
    for (std::size_t i = 0; i < components.size(); ++i) {
      all_in_order = all_in_order && components[i] == static_cast<int>(i);
    }
    if (all_in_order) return v.name;
  }
  std::string t = v.name + "(";
  for (std::size_t i = 0; i < components.size(); ++i) {
    if (i > 0) t += ",";
    t += "\"" + v.elements.at(static_cast<std::size_t>(components[i])) + "\"";
  }
  return t + ")";
}

}  // namespace

std::string ShockWithValues(const ResultVariable& v, const std::vector<int>& components) {
  std::string s = "shock " + Target(v, components) + " =";
  for (std::size_t i = 0; i < components.size(); ++i) {
    if (i > 0 && i % 8 == 0) s += "\n   ";
    float value = static_cast<float>(v.values.at(static_cast<std::size_t>(components[i])));
    s += " ";
    s += FormatReal(value == 0 ? 0.0 : static_cast<double>(value), RealFormat::General(9));
  }
  return s + " ;\n";
}

Result<std::string> ShockFromFile(const ResultVariable& v, const std::vector<int>& components,
                                  const std::string& results_file, const std::string& header) {
  if (results_file.find('"') != std::string::npos) {
    return Fail("The results file name " + results_file +
                " holds a double quote, which a command file cannot carry");
  }
  return "shock " + Target(v, components) + " = file \"" + results_file + "\" header \"" + header +
         "\" ;\n";
}

}  // namespace yl::toolfiles
