#include "modelprog/prog_apply.h"

#include <cmath>
#include <map>
#include <optional>

#include "core/text_util.h"
#include "harfile/har_file.h"
#include "modelprog/prog_outputs.h"
#include "platform/files.h"
#include "platform/paths.h"

namespace yl::modelprog {
namespace {

std::string At(const CommandFile& cmf, int line) {
  return "Command file " + cmf.path + ", line " + std::to_string(line) + ": ";
}

const model::VariableInfo* FindVariable(const std::vector<model::VariableInfo>& vars,
                                        const std::string& name) {
  for (const model::VariableInfo& v : vars)
    if (SameText(v.name, name)) return &v;
  return nullptr;
}

// Flat indices named by a component list, in order.
Result<std::vector<int>> Components(const std::vector<model::VariableInfo>& vars,
                                    const ComponentList& list) {
  const model::VariableInfo* v = FindVariable(vars, list.variable);
  if (!v) return Fail("Unknown variable \"" + list.variable + "\"");
  std::vector<int> flat;
  if (list.elements.empty()) {
    for (int i = 0; i < v->Size(); ++i) flat.push_back(v->first + i);
    return flat;
  }
  if (v->set.empty())
    return Fail("Variable " + v->name + " has no set, so no element of it can be named");
  for (const std::string& e : list.elements) {
    int found = -1;
    for (int i = 0; i < v->Size(); ++i)
      if (SameText(v->elements[static_cast<std::size_t>(i)], e)) found = i;
    if (found < 0)
      return Fail("Unknown element \"" + e + "\" of set " + v->set + " for variable " + v->name);
    flat.push_back(v->first + found);
  }
  return flat;
}

model::VarComponent ComponentOf(const std::vector<model::VariableInfo>& vars, int flat) {
  model::ComponentRef r = model::FindComponent(vars, flat);
  if (r.variable->set.empty()) return {r.variable->name, ""};
  return {r.variable->name, r.variable->elements[static_cast<std::size_t>(r.offset)]};
}

// The values of a "file NAME header HEAD [slice S]" source for `wanted` components of a
// variable of `var_size` components whose positions in the variable are `positions`.
class ShockFiles {
 public:
  explicit ShockFiles(const CommandFile& cmf) : cmf_(cmf) {}

  Result<std::vector<double>> Values(const ShockStatement& s, const std::vector<int>& positions,
                                     int var_size) {
    const std::string path = ResolveBesideCommandFile(s.file, cmf_.path);
    // Only the headers asked for are read; the rest of a big file is skipped.
    const std::string key = path + '\n' + NormaliseHeaderName(s.header);
    auto it = headers_.find(key);
    if (it == headers_.end()) {
      if (!FileExists(path)) return Fail("Shock file " + s.file + " does not exist");
      auto one = ReadHeaderFromHarFile(path, s.header);
      if (!one) return Fail("Cannot read shock file " + path + ": " + one.error());
      it = headers_.emplace(key, std::move(*one)).first;
    }
    const HarHeader* h = it->second ? &*it->second : nullptr;
    if (!h || !h->IsReal())
      return Fail("Shock file " + path + " has no real header \"" + s.header + "\"");
    std::int64_t count = h->values.size();
    std::int64_t offset = 0;
    if (!s.slice.empty()) {
      if (h->NDim < 1)
        return Fail("Header " + s.header + " of " + path + " has no dimension to slice");
      const auto d = static_cast<std::size_t>(h->NDim - 1);
      const auto& elements = h->sets.elements[d];
      std::int64_t index = -1;
      for (std::size_t i = 0; i < elements.size(); ++i)
        if (SameText(Trim(elements[i]), s.slice)) index = static_cast<std::int64_t>(i);
      if (index < 0)
        return Fail("Header " + s.header + " of " + path + " has no slice \"" + s.slice +
                    "\" in its last dimension");
      count = h->values.size() / h->sizes[d];
      offset = index * count;
    }
    const auto wanted = static_cast<std::int64_t>(positions.size());
    std::vector<double> out;
    if (count == wanted) {
      for (std::int64_t i = 0; i < count; ++i) out.push_back(h->values[offset + i]);
    } else if (count == var_size) {
      for (int p : positions) out.push_back(h->values[offset + p]);
    } else {
      return Fail("Header " + s.header + " of " + path + " has " + std::to_string(count) +
                  " values" + (s.slice.empty() ? "" : " in slice " + s.slice) + ", the shock to " +
                  ListText(s.target) + " needs " + std::to_string(wanted));
    }
    return out;
  }

 private:
  const CommandFile& cmf_;
  std::map<std::string, std::optional<HarHeader>> headers_;
};

}  // namespace

std::string ResolveBesideCommandFile(const std::string& name, const std::string& cmf_path) {
  if (IsAbsolutePath(name) || FileExists(name)) return name;
  std::string beside = JoinPath(DirOfFile(cmf_path), name);
  return FileExists(beside) ? beside : name;
}

Result<model::Closure> ApplyClosure(const CommandFile& cmf,
                                    const std::vector<model::VariableInfo>& vars) {
  model::Closure c;
  for (const ClosureStatement& st : cmf.closure) {
    Status s = Ok();
    switch (st.op) {
      case ClosureOp::kExogenous:
      case ClosureOp::kEndogenous:
        for (const ComponentList& item : st.items) {
          s = st.op == ClosureOp::kExogenous
                  ? model::Exogenous(c, vars, item.variable, item.elements)
                  : model::Endogenous(c, vars, item.variable, item.elements);
          if (!s) break;
        }
        break;
      case ClosureOp::kRestExogenous:
      case ClosureOp::kRestEndogenous:
        model::Rest(c, vars, st.op == ClosureOp::kRestExogenous);
        break;
      case ClosureOp::kSwap:
        s = model::Swap(c, vars, st.swap_out.variable, st.swap_out.elements, st.swap_in.variable,
                        st.swap_in.elements);
        break;
      case ClosureOp::kUseEnv: {
        std::string path = EnvironmentFileName(
            ResolveBesideCommandFile(EnvironmentFileName(st.environment), cmf.path));
        auto list = ReadEnvironmentClosure(path);
        if (!list) {
          s = Fail(list.error());
          break;
        }
        c = {};
        for (const model::VarComponent& comp : *list) {
          std::vector<std::string> e;
          if (!comp.element.empty()) e.push_back(comp.element);
          s = model::Exogenous(c, vars, comp.variable, e);
          if (!s) {
            s = Fail(s.error() + " (environment file " + path + ")");
            break;
          }
        }
        break;
      }
    }
    if (!s) return Fail(At(cmf, st.line) + s.error());
  }
  if (auto flags = model::ExogenousFlags(c, vars); !flags) return Fail(flags.error());
  return c;
}

Result<std::vector<model::Shock>> ResolveShocks(const CommandFile& cmf,
                                                const model::LinearModel& model,
                                                const std::vector<bool>& exogenous) {
  const auto& vars = model.Variables();
  const Eigen::VectorXd pre = model.Levels(model.StartData());
  const std::span<const double> pre_levels(pre.data(), static_cast<std::size_t>(pre.size()));
  std::vector<model::Shock> main;
  std::vector<double> extra(exogenous.size(), 0.0);  // compounded "ashock" percents
  std::vector<bool> shocked(exogenous.size(), false), extra_shocked(exogenous.size(), false);
  ShockFiles files(cmf);
  for (const ShockStatement& st : cmf.shocks) {
    auto fail = [&](const std::string& text) { return Fail(At(cmf, st.line) + text); };
    auto flat = Components(vars, st.target);
    if (!flat) return fail(flat.error());
    const model::VariableInfo* v = FindVariable(vars, st.target.variable);
    std::vector<double> values = st.values;
    if (!st.file.empty()) {
      std::vector<int> positions;
      for (int f : *flat) positions.push_back(f - v->first);
      auto got = files.Values(st, positions, v->Size());
      if (!got) return fail(got.error());
      values = *got;
    }
    if (values.size() != 1 && values.size() != flat->size())
      return fail("the shock to " + ListText(st.target) + " has " + std::to_string(values.size()) +
                  " values for " + std::to_string(flat->size()) + " components");
    for (std::size_t k = 0; k < flat->size(); ++k) {
      const int f = (*flat)[k];
      const double x = values[values.size() == 1 ? 0 : k];
      const model::VarComponent comp = ComponentOf(vars, f);
      const std::string name =
          comp.element.empty() ? comp.variable : comp.variable + "(" + comp.element + ")";
      if (!std::isfinite(x)) return fail("the shock to " + name + " is not a number");
      if (!exogenous[static_cast<std::size_t>(f)])
        return fail("variable " + name + " is shocked but is not exogenous");
      if (st.kind == ShockWord::kAShock) {
        double& e = extra[static_cast<std::size_t>(f)];
        e = 100.0 * ((1 + e / 100.0) * (1 + x / 100.0) - 1);
        extra_shocked[static_cast<std::size_t>(f)] = true;
        continue;
      }
      model::ShockKind kind = st.kind == ShockWord::kChange       ? model::ShockKind::kChange
                              : st.kind == ShockWord::kFinalLevel ? model::ShockKind::kFinalLevel
                                                                  : model::ShockKind::kShock;
      main.push_back({comp, kind, x});
      shocked[static_cast<std::size_t>(f)] = true;
    }
  }
  auto pct = model::ShockPercents(main, vars, exogenous, pre_levels);
  if (!pct) return Fail(pct.error());
  std::vector<model::Shock> out;
  for (std::size_t i = 0; i < exogenous.size(); ++i) {
    if (!shocked[i] && !extra_shocked[i]) continue;
    double p = (*pct)[i];
    if (extra_shocked[i]) p = 100.0 * ((1 + p / 100.0) * (1 + extra[i] / 100.0) - 1);
    const model::VarComponent comp = ComponentOf(vars, static_cast<int>(i));
    if (!(p > -100.0) || !std::isfinite(p))
      return Fail("The shocks to " + comp.variable +
                  (comp.element.empty() ? "" : "(" + comp.element + ")") +
                  " would make its level zero or negative");
    out.push_back({comp, model::ShockKind::kShock, p});
  }
  return out;
}

}  // namespace yl::modelprog
