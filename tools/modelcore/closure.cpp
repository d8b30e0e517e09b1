#include "modelcore/closure.h"

#include <algorithm>
#include <cmath>

#include "core/text_util.h"

namespace yl::model {
namespace {

const VariableInfo* FindVariable(const std::vector<VariableInfo>& vars, std::string_view name) {
  for (const VariableInfo& v : vars)
    if (SameText(v.name, name)) return &v;
  return nullptr;
}

VarComponent Canonical(const VariableInfo& v, int offset) {
  if (v.set.empty()) return {v.name, ""};
  return {v.name, v.elements[static_cast<std::size_t>(offset)]};
}

// Flat component indices named by a variable and a list of elements (empty: all).
Result<std::vector<int>> Resolve(const std::vector<VariableInfo>& vars, std::string_view name,
                                 std::span<const std::string> elements) {
  const VariableInfo* v = FindVariable(vars, name);
  if (!v) return Fail("Unknown variable \"" + std::string(name) + "\"");
  std::vector<int> flat;
  if (elements.empty()) {
    for (int i = 0; i < v->Size(); ++i) flat.push_back(v->first + i);
    return flat;
  }
  if (v->set.empty())
    return Fail("Variable " + v->name + " has no set, so no element of it can be named");
  for (const std::string& e : elements) {
    auto it = std::find_if(v->elements.begin(), v->elements.end(),
                           [&](const std::string& x) { return SameText(x, Trim(e)); });
    if (it == v->elements.end())
      return Fail("Unknown element \"" + e + "\" of set " + v->set + " for variable " + v->name);
    flat.push_back(v->first + static_cast<int>(it - v->elements.begin()));
  }
  return flat;
}

Result<int> FlatIndex(const std::vector<VariableInfo>& vars, const VarComponent& c) {
  std::vector<std::string> one;
  if (!c.element.empty()) one.push_back(c.element);
  auto r = Resolve(vars, c.variable, one);
  if (!r) return Fail(r.error());
  if (r->size() != 1)
    return Fail("Variable " + c.variable + " has several components; name one element");
  return r->front();
}

bool SameComponent(const VarComponent& a, const VarComponent& b) {
  return SameText(a.variable, b.variable) && SameText(a.element, b.element);
}

bool Contains(const std::vector<VarComponent>& list, const VarComponent& c) {
  return std::any_of(list.begin(), list.end(),
                     [&](const VarComponent& x) { return SameComponent(x, c); });
}

void Remove(std::vector<VarComponent>& list, const VarComponent& c) {
  std::erase_if(list, [&](const VarComponent& x) { return SameComponent(x, c); });
}

std::string Name(const VarComponent& c) {
  return c.element.empty() ? c.variable : c.variable + "(" + c.element + ")";
}

}  // namespace

Status Exogenous(Closure& closure, const std::vector<VariableInfo>& vars, std::string_view variable,
                 std::span<const std::string> elements) {
  auto flat = Resolve(vars, variable, elements);
  if (!flat) return Fail(flat.error());
  for (int f : *flat) {
    ComponentRef ref = FindComponent(vars, f);
    VarComponent c = Canonical(*ref.variable, ref.offset);
    if (Contains(closure.exogenous, c))
      return Fail("Variable " + Name(c) + " is already exogenous");
    Remove(closure.endogenous, c);
    closure.exogenous.push_back(c);
  }
  return Ok();
}

Status Endogenous(Closure& closure, const std::vector<VariableInfo>& vars,
                  std::string_view variable, std::span<const std::string> elements) {
  auto flat = Resolve(vars, variable, elements);
  if (!flat) return Fail(flat.error());
  for (int f : *flat) {
    ComponentRef ref = FindComponent(vars, f);
    VarComponent c = Canonical(*ref.variable, ref.offset);
    Remove(closure.exogenous, c);
    if (!Contains(closure.endogenous, c)) closure.endogenous.push_back(c);
  }
  return Ok();
}

void Rest(Closure& closure, const std::vector<VariableInfo>& vars, bool rest_exogenous) {
  for (const VariableInfo& v : vars) {
    for (int i = 0; i < v.Size(); ++i) {
      VarComponent c = Canonical(v, i);
      if (Contains(closure.exogenous, c) || Contains(closure.endogenous, c)) continue;
      (rest_exogenous ? closure.exogenous : closure.endogenous).push_back(c);
    }
  }
}

Status Swap(Closure& closure, const std::vector<VariableInfo>& vars, std::string_view out,
            std::span<const std::string> out_elements, std::string_view in,
            std::span<const std::string> in_elements) {
  auto outs = Resolve(vars, out, out_elements);
  if (!outs) return Fail(outs.error());
  auto ins = Resolve(vars, in, in_elements);
  if (!ins) return Fail(ins.error());
  if (outs->size() != ins->size())
    return Fail("Cannot swap " + std::to_string(outs->size()) + " components of " +
                std::string(out) + " with " + std::to_string(ins->size()) + " components of " +
                std::string(in));
  // Check everything first so that a failed swap leaves the closure as it was.
  for (std::size_t k = 0; k < outs->size(); ++k) {
    ComponentRef o = FindComponent(vars, (*outs)[k]);
    ComponentRef n = FindComponent(vars, (*ins)[k]);
    VarComponent oc = Canonical(*o.variable, o.offset);
    VarComponent nc = Canonical(*n.variable, n.offset);
    if (!Contains(closure.exogenous, oc))
      return Fail("Cannot swap " + Name(oc) + ": it is not exogenous");
    if (Contains(closure.exogenous, nc))
      return Fail("Cannot swap in " + Name(nc) + ": it is already exogenous");
  }
  for (std::size_t k = 0; k < outs->size(); ++k) {
    ComponentRef o = FindComponent(vars, (*outs)[k]);
    ComponentRef n = FindComponent(vars, (*ins)[k]);
    VarComponent oc = Canonical(*o.variable, o.offset);
    VarComponent nc = Canonical(*n.variable, n.offset);
    for (VarComponent& x : closure.exogenous)
      if (SameComponent(x, oc)) x = nc;
    Remove(closure.endogenous, nc);
    if (!Contains(closure.endogenous, oc)) closure.endogenous.push_back(oc);
  }
  return Ok();
}

Result<std::vector<bool>> ExogenousFlags(const Closure& closure,
                                         const std::vector<VariableInfo>& vars) {
  int n = 0;
  for (const VariableInfo& v : vars) n += v.Size();
  std::vector<bool> flags(static_cast<std::size_t>(n), false);
  for (const VarComponent& c : closure.exogenous) {
    auto f = FlatIndex(vars, c);
    if (!f) return Fail(f.error() + "[ExogenousFlags]");
    if (flags[static_cast<std::size_t>(*f)])
      return Fail("Variable " + Name(c) + " is exogenous twice[ExogenousFlags]");
    flags[static_cast<std::size_t>(*f)] = true;
  }
  return flags;
}

Status AddShock(std::vector<Shock>& shocks, const std::vector<VariableInfo>& vars,
                std::string_view variable, std::span<const std::string> elements, ShockKind kind,
                std::span<const double> values) {
  auto flat = Resolve(vars, variable, elements);
  if (!flat) return Fail(flat.error());
  if (values.size() != 1 && values.size() != flat->size())
    return Fail("Shock to " + std::string(variable) + " has " + std::to_string(values.size()) +
                " values for " + std::to_string(flat->size()) + " components");
  for (std::size_t k = 0; k < flat->size(); ++k) {
    if (!std::isfinite(values[values.size() == 1 ? 0 : k]))
      return Fail("Shock to " + std::string(variable) + " is not a number");
  }
  for (std::size_t k = 0; k < flat->size(); ++k) {
    ComponentRef ref = FindComponent(vars, (*flat)[k]);
    shocks.push_back(
        {Canonical(*ref.variable, ref.offset), kind, values[values.size() == 1 ? 0 : k]});
  }
  return Ok();
}

Result<std::vector<double>> ShockPercents(const std::vector<Shock>& shocks,
                                          const std::vector<VariableInfo>& vars,
                                          const std::vector<bool>& exogenous,
                                          std::span<const double> pre_levels) {
  std::vector<double> pct(exogenous.size(), 0.0);
  for (const Shock& s : shocks) {
    auto f = FlatIndex(vars, s.component);
    if (!f) return Fail(f.error() + "[ShockPercents]");
    auto i = static_cast<std::size_t>(*f);
    if (!exogenous[i])
      return Fail("Variable " + Name(s.component) +
                  " is shocked but is not exogenous[ShockPercents]");
    double pre = pre_levels[i];
    double p = s.value;
    if (s.kind == ShockKind::kChange || s.kind == ShockKind::kFinalLevel) {
      if (pre == 0)
        return Fail("Cannot shock " + Name(s.component) +
                    " by its level: its level is zero[ShockPercents]");
      p = s.kind == ShockKind::kChange ? 100.0 * s.value / pre : 100.0 * (s.value / pre - 1.0);
    }
    if (!(p > -100.0) || !std::isfinite(p))
      return Fail("Shock to " + Name(s.component) +
                  " would make its level zero or negative[ShockPercents]");
    pct[i] = p;
  }
  return pct;
}

}  // namespace yl::model
