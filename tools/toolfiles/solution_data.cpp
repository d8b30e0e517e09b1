#include "toolfiles/solution_data.h"

#include "core/text_util.h"
#include "harfile/har_build.h"
#include "platform/file_lookup.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "toolkit/tool_run.h"

namespace yl::toolfiles {

namespace {

std::vector<std::string> StringsOf(const HarHeader& h) {
  std::vector<std::string> out;
  for (const std::string& s : h.strings) out.push_back(Trim(s));
  return out;
}

std::string SetHeader(int index) { return NumberedName('S', index + 1); }

// The file as named, else one whose name differs only in case.
std::string Located(const std::string& path) {
  if (FileExists(path)) return path;
  if (auto p = ResolvePathNoCase(path)) return *p;
  return path;
}

std::string WithExtension(const std::string& path_or_stem, const std::string& ext) {
  if (EndsWithNoCase(path_or_stem, ext)) return Located(path_or_stem);
  return Located(path_or_stem + ext);
}

Result<std::vector<std::string>> Strings1C(const HarFile& f, const char* name, bool required) {
  const HarHeader* h = f.Find(name);
  if (!h) {
    if (required) return Fail(std::string("header ") + name + " is missing");
    return std::vector<std::string>{};
  }
  if (h->type != "1C") return Fail(std::string("header ") + name + " is not of type 1C");
  return StringsOf(*h);
}

}  // namespace

std::string ResultVariable::ComponentName(int i) const {
  if (elements.empty()) return name;
  return name + "(" + elements.at(static_cast<std::size_t>(i)) + ")";
}

int ResultVariable::ElementIndex(const std::string& element) const {
  for (std::size_t i = 0; i < elements.size(); ++i) {
    if (SameText(elements[i], element)) return static_cast<int>(i);
  }
  return -1;
}

const ResultVariable* ResultsData::Find(const std::string& name) const {
  int i = IndexOf(name);
  return i < 0 ? nullptr : &variables[static_cast<std::size_t>(i)];
}

int ResultsData::IndexOf(const std::string& name) const {
  for (std::size_t i = 0; i < variables.size(); ++i) {
    if (SameText(variables[i].name, name)) return static_cast<int>(i);
  }
  return -1;
}

std::string VariableHeader(int index) { return NumberedName('C', index + 1); }

Result<ResultsData> ReadModelHar(const std::string& path, const std::string& what_file,
                                 ReadWhat what) {
  auto fail = [&](const std::string& problem) {
    return Fail("Cannot read " + what_file + " " + path + ": " + problem);
  };
  if (!FileExists(path)) return Fail("The " + what_file + " " + path + " does not exist");
  auto har = ReadHarFile(path);
  if (!har) return fail(har.error());
  auto names = Strings1C(*har, "VCNM", true);
  auto labels = Strings1C(*har, "VCLB", false);
  auto sets = Strings1C(*har, "VCSN", true);
  auto set_names = Strings1C(*har, "STNM", false);
  auto types = Strings1C(*har, "VCTP", false);
  for (const auto* r : {&names, &labels, &sets, &set_names, &types}) {
    if (!*r) return fail(r->error());
  }
  const std::size_t n = names->size();
  if (n == 0 || (n == 1 && (*names)[0].empty())) return fail("it names no variable");
  if (n > kMaxVariables) return fail("more than 999 variables");
  if (sets->size() != n) return fail("headers VCNM and VCSN differ in length");
  if (!labels->empty() && labels->size() != n) return fail("headers VCNM and VCLB differ");
  if (!types->empty() && types->size() != n) return fail("headers VCNM and VCTP differ");

  ResultsData d;
  std::int64_t components = 0;
  for (std::size_t i = 0; i < n; ++i) {
    ResultVariable v;
    v.name = (*names)[i];
    if (v.name.empty()) return fail("variable " + std::to_string(i + 1) + " has no name");
    if (d.IndexOf(v.name) >= 0) return fail("variable " + v.name + " is named twice");
    v.label = labels->empty() ? "" : (*labels)[i];
    v.set = (*sets)[i];
    if (!types->empty()) {
      const std::string& t = (*types)[i];
      if (t != "p" && t != "c") return fail("variable " + v.name + " has type \"" + t + "\"");
      v.type = t[0];
    }
    if (!v.set.empty()) {
      int k = -1;
      for (std::size_t s = 0; s < set_names->size(); ++s) {
        if (SameText((*set_names)[s], v.set)) k = static_cast<int>(s);
      }
      if (k < 0) return fail("the set " + v.set + " of variable " + v.name + " is not listed");
      auto elements = Strings1C(*har, SetHeader(k).c_str(), true);
      if (!elements) return fail(elements.error());
      v.elements = *elements;
      if (v.elements.empty()) return fail("the set " + v.set + " has no elements");
    }
    if (what.values) {
      const std::string hn = VariableHeader(static_cast<int>(i));
      const HarHeader* h = har->Find(hn);
      if (!h || !h->IsReal()) return fail("header " + hn + " (variable " + v.name + ") is missing");
      if (h->values.size() != v.Size()) {
        return fail("header " + hn + " holds " + std::to_string(h->values.size()) +
                    " values for the " + std::to_string(v.Size()) + " components of " + v.name);
      }
      for (float x : h->values.values()) v.values.push_back(x);
    }
    components += v.Size();
    d.variables.push_back(std::move(v));
  }
  if (what.closure) {
    const HarHeader* h = har->Find("EXOG");
    if (!h || h->type != "2I") return fail("header EXOG (the closure) is missing");
    if (static_cast<std::int64_t>(h->ints.size()) != components) {
      return fail("header EXOG holds " + std::to_string(h->ints.size()) + " flags for " +
                  std::to_string(components) + " components");
    }
    std::size_t k = 0;
    for (ResultVariable& v : d.variables) {
      for (int c = 0; c < v.Size(); ++c) v.exogenous.push_back(h->ints[k++] != 0);
    }
  }
  if (const HarHeader* h = har->Find("YEAR"); h && h->type == "2I" && !h->ints.empty()) {
    d.first_year = d.last_year = h->ints[0];
  }
  if (const HarHeader* h = har->Find("YRNG"); h && h->type == "2I" && h->ints.size() >= 2) {
    d.first_year = h->ints[0];
    d.last_year = h->ints[1];
  }
  if (auto k = Strings1C(*har, "RSKD", false); k && !k->empty()) d.kind = k->front();
  if (auto m = Strings1C(*har, "MODL", false); m) d.model = *m;
  if (auto m = Strings1C(*har, "VDSC", false); m && !m->empty()) d.verbal = m->front();
  if (auto m = Strings1C(*har, "METH", false); m && !m->empty()) d.method = m->front();
  return d;
}

Result<ResultsData> ReadSolutionFile(const std::string& path_or_stem, std::string* used_path) {
  std::string path = WithExtension(path_or_stem, ".sl4");
  if (used_path) *used_path = path;
  return ReadModelHar(path, "solution file", {.values = true, .closure = true});
}

Result<ResultsData> ReadEnvironmentFile(const std::string& path_or_stem, std::string* used_path) {
  std::string path = WithExtension(path_or_stem, ".en4");
  if (used_path) *used_path = path;
  return ReadModelHar(path, "environment file", {.values = false, .closure = true});
}

Result<ResultsData> ReadResultsFile(const std::string& path) {
  return ReadModelHar(Located(path), "results file", {.values = true, .closure = false});
}

Result<HarFile> BuildResultsHar(const ResultsData& data) {
  if (data.variables.size() > kMaxVariables) return Fail("more than 999 variables");
  HarFile f;
  std::vector<std::string> names, labels, sets, types, set_names;
  std::vector<std::vector<std::string>> set_elements;
  for (const ResultVariable& v : data.variables) {
    names.push_back(v.name);
    labels.push_back(v.label);
    sets.push_back(v.set.empty() ? " " : v.set);
    types.push_back(std::string(1, v.type));
    if (v.set.empty()) continue;
    bool known = false;
    for (const std::string& s : set_names) known = known || SameText(s, v.set);
    if (!known) {
      set_names.push_back(v.set);
      set_elements.push_back(v.elements);
    }
  }
  for (std::size_t i = 0; i < data.variables.size(); ++i) {
    const ResultVariable& v = data.variables[i];
    const std::string hn = VariableHeader(static_cast<int>(i));
    std::array<std::int32_t, 7> sizes{v.Size(), 1, 1, 1, 1, 1, 1};
    std::string description = v.name + " " + v.label;
    if (description.size() > 70) description.resize(70);
    auto h = CreateUnLabelledRE(hn, description, 1, sizes, true);
    if (!h) return Fail(h.error());
    if (static_cast<int>(v.values.size()) != v.Size()) {
      return Fail("variable " + v.name + " has " + std::to_string(v.values.size()) +
                  " values for " + std::to_string(v.Size()) + " components");
    }
    for (int c = 0; c < v.Size(); ++c) {
      h->values[c] = static_cast<float>(v.values[static_cast<std::size_t>(c)]);
    }
    SetCoefficientName(*h, v.name);
    if (!v.set.empty()) {
      if (auto s = SetDimensionSet(*h, 0, v.set, v.elements); !s) return Fail(s.error());
    }
    if (auto s = AddHeaderNil(f, std::move(*h)); !s) return Fail(s.error());
  }
  if (auto s = AddBuiltHeader(f, StringHeader("VCNM", "Variable names", names)); !s)
    return Fail(s.error());
  if (auto s = AddBuiltHeader(f, StringHeader("VCLB", "Variable labels", labels)); !s)
    return Fail(s.error());
  if (auto s =
          AddBuiltHeader(f, StringHeader("VCSN", "Set of each variable (blank: scalar)", sets));
      !s)
    return Fail(s.error());
  if (auto s = AddBuiltHeader(f, StringHeader("STNM", "Set names", set_names)); !s)
    return Fail(s.error());
  for (std::size_t i = 0; i < set_names.size(); ++i) {
    if (auto s =
            AddBuiltHeader(f, StringHeader(SetHeader(static_cast<int>(i)),
                                           "Elements of set " + set_names[i], set_elements[i]));
        !s)
      return Fail(s.error());
  }
  if (auto s = AddBuiltHeader(
          f, StringHeader("VCTP", "Variable types: p percentage, c ordinary change", types));
      !s)
    return Fail(s.error());
  if (auto s = AddBuiltHeader(f, IntHeader("YRNG", "First and last year the results cover", 2, 1,
                                           {data.first_year, data.last_year}));
      !s)
    return Fail(s.error());
  if (auto s = AddBuiltHeader(f, StringHeader("RSKD", "Kind of results", {data.kind})); !s)
    return Fail(s.error());
  if (!data.model.empty()) {
    if (auto s = AddBuiltHeader(
            f,
            StringHeader("MODL", "Model: auxiliary files, stamp, TAB file, STI file", data.model));
        !s)
      return Fail(s.error());
  }
  return f;
}

Status WriteHarOutput(tool::ToolRun& run, const std::string& path, HarFile& file) {
  run.AddOutput(path);
  if (std::string problem = CheckHarFile(file); !problem.empty()) {
    return Fail("Cannot write " + path + ": " + problem);
  }
  // The writer replaces the file only once the new one is complete.
  if (auto s = WriteHarFile(path, run.program(), HarCreationTimeNow(), file); !s) {
    return Fail("Cannot write " + path + ": " + s.error());
  }
  return Ok();
}

}  // namespace yl::toolfiles
