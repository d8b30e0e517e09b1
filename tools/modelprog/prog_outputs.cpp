#include "modelprog/prog_outputs.h"

#include <cctype>
#include <set>

#include "core/text_util.h"
#include "modelprog/prog_har.h"
#include "platform/files.h"

namespace yl::modelprog {
namespace {

struct SetList {
  std::vector<std::string> names;
  std::vector<std::vector<std::string>> elements;
};

SetList SetsOf(const std::vector<model::VariableInfo>& vars) {
  SetList l;
  for (const model::VariableInfo& v : vars) {
    if (v.set.empty()) continue;
    bool known = false;
    for (const std::string& n : l.names) known = known || SameText(n, v.set);
    if (known) continue;
    l.names.push_back(v.set);
    l.elements.push_back(v.elements);
  }
  return l;
}

// The headers that describe the model's variables and sets, and the closure.
Status AddModelHeaders(HarFile& f, const std::vector<model::VariableInfo>& vars,
                       const std::vector<bool>& exogenous) {
  std::vector<std::string> names, labels, sets;
  for (const model::VariableInfo& v : vars) {
    names.push_back(v.name);
    labels.push_back(v.description);
    sets.push_back(v.set.empty() ? " " : v.set);
  }
  if (auto s = AddBuiltHeader(f, StringHeader("VCNM", "Variable names", names)); !s) return s;
  if (auto s = AddBuiltHeader(f, StringHeader("VCLB", "Variable labels", labels)); !s) return s;
  if (auto s =
          AddBuiltHeader(f, StringHeader("VCSN", "Set of each variable (blank: scalar)", sets));
      !s)
    return s;
  SetList l = SetsOf(vars);
  if (auto s = AddBuiltHeader(f, StringHeader("STNM", "Set names", l.names)); !s) return s;
  for (std::size_t i = 0; i < l.names.size(); ++i) {
    if (auto s = AddBuiltHeader(f, StringHeader(NumberedName('S', static_cast<int>(i) + 1),
                                                "Elements of set " + l.names[i], l.elements[i]));
        !s)
      return s;
  }
  std::vector<int> flags;
  std::vector<std::string> exo;
  for (const model::VariableInfo& v : vars) {
    for (int i = 0; i < v.Size(); ++i) {
      bool x = exogenous[static_cast<std::size_t>(v.first + i)];
      flags.push_back(x ? 1 : 0);
      if (x) exo.push_back(model::ComponentName(v, i));
    }
  }
  if (auto s =
          AddBuiltHeader(f, IntHeader("EXOG", "Closure: 1 exogenous, 0 endogenous, per component",
                                      static_cast<int>(flags.size()), 1, flags));
      !s)
    return s;
  return AddBuiltHeader(f, StringHeader("EXCM", "Closure: the exogenous components", exo));
}

Status AddIdentity(HarFile& f, const ModelIdentity& m) {
  return AddBuiltHeader(
      f, StringHeader("MODL", "Model: auxiliary files, stamp, TAB file, STI file",
                      {m.auxiliary, m.stamp, m.tab, m.sti.empty() ? "%none" : m.sti}));
}

}  // namespace

int YearOfDescription(const std::string& verbal) {
  std::string t = Trim(verbal);
  if (t.size() < 4) return 0;
  std::string y = t.substr(t.size() - 4);
  for (char c : y)
    if (!std::isdigit(static_cast<unsigned char>(c))) return 0;
  return std::stoi(y);
}

std::string MethodText(const model::SolveSettings& s, int subintervals_used) {
  std::string text = model::MethodName(s.method);
  for (int n : s.steps) text += " " + std::to_string(n);
  text += ", " + std::to_string(subintervals_used) + " subintervals";
  if (s.automatic_accuracy) text += ", automatic accuracy";
  return text;
}

Result<HarFile> BuildSolutionFile(const std::vector<model::VariableInfo>& vars,
                                  const std::vector<bool>& exogenous,
                                  const model::SolveOutcome& outcome, const SolutionInfo& info) {
  if (vars.size() > 999) return Fail("A solution file holds at most 999 variables");
  HarFile f;
  auto add_real = [&](char prefix, std::size_t i, const std::string& description,
                      const std::vector<double>& values) -> Status {
    const model::VariableInfo& v = vars[i];
    return AddBuiltHeader(
        f, RealHeader(NumberedName(prefix, static_cast<int>(i) + 1), description, v.name, v.set,
                      v.set.empty() ? std::vector<std::string>{} : v.elements, values));
  };
  for (std::size_t i = 0; i < vars.size(); ++i) {
    const model::VariableResult* r = model::FindResult(outcome, vars[i].name);
    if (!r) return Fail("No result for variable " + vars[i].name);
    if (auto s = add_real('C', i, vars[i].name + " " + vars[i].description, r->percent_change); !s)
      return Fail(s.error());
  }
  if (auto s = AddModelHeaders(f, vars, exogenous); !s) return Fail(s.error());
  std::vector<std::string> types(vars.size(), "p");
  if (auto s =
          AddBuiltHeader(f, StringHeader("VCTP", "Variable types: p percentage change", types));
      !s)
    return Fail(s.error());
  for (std::size_t i = 0; i < vars.size(); ++i) {
    const model::VariableResult* r = model::FindResult(outcome, vars[i].name);
    if (auto s = add_real('L', i, "Pre-simulation level of " + vars[i].name, r->pre_level); !s)
      return Fail(s.error());
  }
  for (std::size_t i = 0; i < vars.size(); ++i) {
    const model::VariableResult* r = model::FindResult(outcome, vars[i].name);
    if (auto s = add_real('P', i, "Post-simulation level of " + vars[i].name, r->post_level); !s)
      return Fail(s.error());
  }
  if (auto s = AddBuiltHeader(
          f, IntHeader("YEAR", "Year of the period (0: not known)", 1, 1, {info.year}));
      !s)
    return Fail(s.error());
  if (auto s = AddBuiltHeader(f, StringHeader("VDSC", "Verbal description", {info.verbal})); !s)
    return Fail(s.error());
  if (auto s = AddBuiltHeader(f, StringHeader("METH", "Solution method", {info.method})); !s)
    return Fail(s.error());
  if (auto s = AddIdentity(f, info.model); !s) return Fail(s.error());
  return f;
}

Result<HarFile> BuildEnvironmentFile(const std::vector<model::VariableInfo>& vars,
                                     const std::vector<bool>& exogenous,
                                     const ModelIdentity& model) {
  HarFile f;
  if (auto s = AddModelHeaders(f, vars, exogenous); !s) return Fail(s.error());
  std::vector<std::string> exo_vars;
  for (const model::VariableInfo& v : vars) {
    bool any = false;
    for (int i = 0; i < v.Size(); ++i)
      any = any || exogenous[static_cast<std::size_t>(v.first + i)];
    if (any) exo_vars.push_back(v.name);
  }
  if (auto s =
          AddBuiltHeader(f, StringHeader("EXVR", "Variables with exogenous components", exo_vars));
      !s)
    return Fail(s.error());
  if (auto s = AddIdentity(f, model); !s) return Fail(s.error());
  return f;
}

std::string EnvironmentFileName(const std::string& name) {
  return EndsWithNoCase(name, ".en4") ? name : name + ".en4";
}

Result<std::vector<model::VarComponent>> ReadEnvironmentClosure(const std::string& path) {
  if (!FileExists(path)) return Fail("Environment file " + path + " does not exist");
  auto har = ReadHeadersFromHarFile(path, {"EXCM"});
  if (!har) return Fail("Cannot read environment file " + path + ": " + har.error());
  const HarHeader* h = har->Find("EXCM");
  if (!h || h->type != "1C")
    return Fail("Environment file " + path + " has no closure (header EXCM)");
  std::vector<model::VarComponent> list;
  for (const std::string& raw : h->strings) {
    std::string s = Trim(raw);
    if (s.empty()) continue;
    std::size_t open = s.find('(');
    if (open == std::string::npos) {
      list.push_back({s, ""});
    } else if (s.back() == ')' && open > 0) {
      list.push_back({s.substr(0, open), s.substr(open + 1, s.size() - open - 2)});
    } else {
      return Fail("Environment file " + path + ": \"" + s + "\" is not a component name");
    }
  }
  return list;
}

Result<HarFile> BuildCoefficientFile(const std::vector<CoefficientSource>& sources) {
  HarFile out;
  std::set<std::string> used;
  int renamed = 0;
  for (const CoefficientSource& src : sources) {
    for (const HarHeader& h : src.file->headers) {
      if (!h.IsReal()) continue;
      auto copy = CloneHeader(h);
      if (!copy) return Fail(copy.error());
      std::string original = Trim(h.name);
      std::string name = UpperCase(original);
      if (used.count(name)) {
        if (++renamed > 999) return Fail("Too many repeated header names for a coefficient file");
        name = NumberedName('X', renamed);
      }
      used.insert(name);
      copy->name = name;
      std::string coefficient = Trim(h.sets.coeff_name);
      copy->description = (coefficient.empty() ? original : coefficient) + " " + src.logical + "/" +
                          original + " " + Trim(h.description);
      if (copy->description.size() > 70) copy->description.resize(70);
      if (auto s = AddHeaderNil(out, std::move(*copy)); !s) return Fail(s.error());
    }
  }
  return out;
}

}  // namespace yl::modelprog
