#include "toolfiles_support.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "platform/files.h"
#include "platform/paths.h"
#include "support/scratch_dir.h"

namespace yl::testing {

namespace {

std::string Numbered(char prefix, int n) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "%c%03d", prefix, n);
  return buf;
}

void Add(HarFile& f, Result<HarHeader> h) {
  ASSERT_TRUE(h.has_value()) << h.error();
  auto s = AddHeaderNil(f, std::move(*h));
  ASSERT_TRUE(s.has_value()) << s.error();
}

Result<HarHeader> Strings(const std::string& name, std::vector<std::string> s) {
  std::int32_t len = 1;
  for (const auto& x : s) len = std::max<std::int32_t>(len, static_cast<std::int32_t>(x.size()));
  if (s.empty()) s.push_back(" ");
  return Create1C(name, name + " strings", s, len);
}

}  // namespace

FixtureVar Var(std::string name, std::string label, std::string set,
               std::vector<std::string> elements, std::vector<double> values,
               std::vector<int> exogenous, char type) {
  FixtureVar v;
  v.name = std::move(name);
  v.label = std::move(label);
  v.set = std::move(set);
  v.elements = std::move(elements);
  v.values = std::move(values);
  v.exogenous = std::move(exogenous);
  v.type = type;
  return v;
}

ProgramRun RunTool(const std::string& program, const std::string& dir, const std::string& sti,
                   const std::string& sti_text, const std::vector<std::string>& env) {
  WriteFileBytes(sti, sti_text);
  ScopedEnv scoped;
  for (const std::string& e : env) {
    auto eq = e.find('=');
    scoped.Set(e.substr(0, eq), e.substr(eq + 1));
  }
  return RunProgram(program, dir, sti, "%sti", ChangeFileExt(sti, ".rpt"),
                    ChangeFileExt(sti, ".log"));
}

void WriteFixtureHar(const std::string& path, const std::vector<FixtureVar>& vars, int year,
                     bool environment) {
  HarFile f;
  std::vector<std::string> names, labels, sets, set_names, types, excm, exvr;
  std::vector<std::vector<std::string>> set_elements;
  std::vector<int> exog;
  for (std::size_t i = 0; i < vars.size(); ++i) {
    const FixtureVar& v = vars[i];
    names.push_back(v.name);
    labels.push_back(v.label);
    sets.push_back(v.set.empty() ? " " : v.set);
    types.push_back(std::string(1, v.type));
    if (!v.set.empty() && std::find(set_names.begin(), set_names.end(), v.set) == set_names.end()) {
      set_names.push_back(v.set);
      set_elements.push_back(v.elements);
    }
    const std::size_t n = v.set.empty() ? 1 : v.elements.size();
    bool any = false;
    for (std::size_t c = 0; c < n; ++c) {
      int x = c < v.exogenous.size() ? v.exogenous[c] : 0;
      exog.push_back(x);
      any = any || x;
      if (x) excm.push_back(v.set.empty() ? v.name : v.name + "(" + v.elements[c] + ")");
    }
    if (any) exvr.push_back(v.name);
    if (environment) continue;
    std::array<std::int32_t, 7> sizes{static_cast<std::int32_t>(n), 1, 1, 1, 1, 1, 1};
    auto h = CreateUnLabelledRE(Numbered('C', static_cast<int>(i) + 1), v.name + " " + v.label, 1,
                                sizes, true);
    ASSERT_TRUE(h.has_value()) << h.error();
    ASSERT_EQ(v.values.size(), n) << v.name;
    for (std::size_t c = 0; c < n; ++c)
      h->values[static_cast<std::int64_t>(c)] = static_cast<float>(v.values[c]);
    SetCoefficientName(*h, v.name);
    if (!v.set.empty()) {
      ASSERT_TRUE(SetDimensionSet(*h, 0, v.set, v.elements).has_value());
    }
    Add(f, std::move(*h));
  }
  Add(f, Strings("VCNM", names));
  Add(f, Strings("VCLB", labels));
  Add(f, Strings("VCSN", sets));
  Add(f, Strings("STNM", set_names));
  for (std::size_t s = 0; s < set_names.size(); ++s) {
    Add(f, Strings(Numbered('S', static_cast<int>(s) + 1), set_elements[s]));
  }
  auto e = Create2I("EXOG", "closure", static_cast<std::int32_t>(exog.size()), 1);
  ASSERT_TRUE(e.has_value());
  e->ints = exog;
  Add(f, std::move(*e));
  Add(f, Strings("EXCM", excm));
  if (environment) {
    Add(f, Strings("EXVR", exvr));
  } else {
    Add(f, Strings("VCTP", types));
    auto y = Create2I("YEAR", "year", 1, 1);
    ASSERT_TRUE(y.has_value());
    y->ints = {year};
    Add(f, std::move(*y));
    Add(f, Strings("VDSC", {"autosim BS1B" + std::to_string(year)}));
  }
  Add(f, Strings("MODL", {"/m/demomodel", "STAMP 1", "demomodel.tab", "%none"}));
  auto s = WriteHarFile(path, "fixture", "now", f);
  ASSERT_TRUE(s.has_value()) << s.error();
}

toolfiles::ResultVariable Variable(std::string name, std::string label, std::string set,
                                   std::vector<std::string> elements, std::vector<bool> exogenous,
                                   char type) {
  toolfiles::ResultVariable v;
  v.name = std::move(name);
  v.label = std::move(label);
  v.set = std::move(set);
  v.elements = std::move(elements);
  v.exogenous = std::move(exogenous);
  v.type = type;
  return v;
}

}  // namespace yl::testing
