#include "modelcore/solver.h"

#include <algorithm>
#include <cmath>

#include "core/number_text.h"
#include "core/text_util.h"

namespace yl::model {

std::string MethodName(SolveMethod method) {
  switch (method) {
    case SolveMethod::kJohansen:
      return "Johansen";
    case SolveMethod::kEuler:
      return "Euler";
    case SolveMethod::kGragg:
      return "Gragg";
    case SolveMethod::kMidpoint:
      return "Midpoint";
  }
  return "?";
}

Status CheckSolveSettings(const SolveSettings& s) {
  auto fail = [](const std::string& text) { return Fail(text + "[CheckSolveSettings]"); };
  const std::size_t k = s.steps.size();
  if (s.method == SolveMethod::kJohansen) {
    if (s.automatic_accuracy) return fail("Automatic accuracy needs 3 solutions");
    return Ok();
  }
  if (k < 1 || k > 3) return fail("Number of solutions must be 1, 2 or 3");
  for (int n : s.steps)
    if (n < 1) return fail("Number of steps must be at least 1");
  const bool midpoint = s.method == SolveMethod::kGragg || s.method == SolveMethod::kMidpoint;
  if (midpoint && s.steps[0] < 2)
    return fail("For Gragg or MidPoint,\r\nFirst solution must have 2 or more steps");
  for (std::size_t i = 1; i < k; ++i)
    if (s.steps[i - 1] >= s.steps[i]) return fail("Sequence of steps must be increasing");
  for (std::size_t i = 1; i < k && midpoint; ++i)
    if (s.steps[i - 1] % 2 != s.steps[i] % 2)
      return fail("For Gragg or MidPoint,\r\nSteps must be ALL odd or ALL even");
  if (s.automatic_accuracy) {
    const AutoAccuracySettings& a = s.auto_accuracy;
    if (k != 3) return fail("Automatic accuracy needs 3 solutions");
    if (a.subintervals < 1) return fail("Number of subintervals must be at least 1");
    if (a.figures < 1 || a.figures > kMaxFigures)
      return fail("Accuracy figures must be 1 to " + std::to_string(kMaxFigures));
    if (a.percent < 1 || a.percent > 100) return fail("Accuracy percent must be 1 to 100");
    if (!(a.min_subinterval_length > 0 && a.min_subinterval_length <= 1))
      return fail("Minimum subinterval length must be above 0 and at most 1");
  } else if (s.subintervals < 1) {
    return fail("Number of subintervals must be at least 1");
  }
  return Ok();
}

const VariableResult* FindResult(const SolveOutcome& outcome, const std::string& name) {
  for (const VariableResult& v : outcome.variables)
    if (SameText(v.name, name)) return &v;
  return nullptr;
}

namespace {

std::string Real(double x, RealFormat format = RealFormat::General(6)) {
  return FormatReal(x, format);
}

// The state integrated over the solve: log growth factors of the updated coefficients,
// then cumulative log changes of the variables (fractions, not percent).
struct Problem {
  const LinearModel* model = nullptr;
  std::vector<int> exo, endo;
  Eigen::VectorXd exo_rate;  // percent log change per unit of the solve
  Eigen::VectorXd v0;
  int nd = 0, nv = 0;
};

std::unexpected<std::string> SingularError(const Problem& p, const Eigen::MatrixXd& aen) {
  Eigen::FullPivLU<Eigen::MatrixXd> lu(aen);
  lu.setThreshold(1e-10);
  std::string names;
  if (lu.rank() < aen.cols()) {
    Eigen::VectorXd k = lu.kernel().col(0);
    const double big = k.cwiseAbs().maxCoeff();
    int listed = 0;
    for (Eigen::Index j = 0; j < k.size() && listed < 8; ++j) {
      if (std::abs(k[j]) <= 1e-6 * big) continue;
      ComponentRef ref = FindComponent(p.model->Variables(), p.endo[static_cast<std::size_t>(j)]);
      names += (listed++ ? ", " : "") + ComponentName(*ref.variable, ref.offset);
    }
  }
  return Fail(
      "Singular matrix: the exogenous variables of the closure do not determine the "
      "endogenous ones" +
      (names.empty() ? std::string() : " (look at " + names + ")") + "[Solve]");
}

// Percentage changes of every component, given those of the exogenous ones.
Result<Eigen::VectorXd> LinearSolve(const Problem& p, const Eigen::VectorXd& data,
                                    const Eigen::VectorXd& exo_values) {
  Eigen::MatrixXd a;
  p.model->Assemble(data, a);
  // Rows mix value-weighted and share-weighted equations; scaling them keeps the
  // condition estimate meaningful.
  for (Eigen::Index r = 0; r < a.rows(); ++r) {
    const double m = a.row(r).cwiseAbs().maxCoeff();
    if (!(m > 0) || !std::isfinite(m))
      return Fail("Equation " + std::to_string(r + 1) +
                  " has no usable coefficients at the current data[Solve]");
    a.row(r) /= m;
  }
  const auto ne = static_cast<Eigen::Index>(p.endo.size());
  Eigen::MatrixXd aen(a.rows(), ne);
  for (Eigen::Index j = 0; j < ne; ++j) aen.col(j) = a.col(p.endo[static_cast<std::size_t>(j)]);
  Eigen::VectorXd rhs = Eigen::VectorXd::Zero(a.rows());
  for (std::size_t j = 0; j < p.exo.size(); ++j)
    rhs -= a.col(p.exo[j]) * exo_values[static_cast<Eigen::Index>(j)];
  Eigen::PartialPivLU<Eigen::MatrixXd> lu(aen);
  if (!(lu.rcond() > 1e-13)) return SingularError(p, aen);
  Eigen::VectorXd xe = lu.solve(rhs);
  if (!xe.allFinite()) return SingularError(p, aen);
  Eigen::VectorXd x(p.nv);
  for (Eigen::Index j = 0; j < ne; ++j) x[p.endo[static_cast<std::size_t>(j)]] = xe[j];
  for (std::size_t j = 0; j < p.exo.size(); ++j)
    x[p.exo[j]] = exo_values[static_cast<Eigen::Index>(j)];
  return x;
}

Eigen::VectorXd DataAt(const Problem& p, const Eigen::VectorXd& z) {
  return (p.v0.array() * z.head(p.nd).array().exp()).matrix();
}

Result<Eigen::VectorXd> Derivative(const Problem& p, const Eigen::VectorXd& z) {
  auto x = LinearSolve(p, DataAt(p, z), p.exo_rate);
  if (!x) return Fail(x.error());
  Eigen::VectorXd dz(p.nd + p.nv);
  const auto& terms = p.model->UpdateTerms();
  for (int d = 0; d < p.nd; ++d) {
    double s = 0;
    for (int j : terms[static_cast<std::size_t>(d)]) s += (*x)[j];
    dz[d] = s / 100.0;
  }
  dz.tail(p.nv) = *x / 100.0;
  return dz;
}

// One multi-step solution over a subinterval of length h_total; f0 is the derivative at z0.
Result<Eigen::VectorXd> Integrate(const Problem& p, SolveMethod method, const Eigen::VectorXd& z0,
                                  const Eigen::VectorXd& f0, double h_total, int steps) {
  const double h = h_total / steps;
  if (method == SolveMethod::kEuler) {
    Eigen::VectorXd z = z0 + h * f0;
    for (int s = 1; s < steps; ++s) {
      auto f = Derivative(p, z);
      if (!f) return f;
      z += h * *f;
    }
    return z;
  }
  Eigen::VectorXd prev = z0;
  Eigen::VectorXd z = z0 + h * f0;
  for (int s = 1; s < steps; ++s) {
    auto f = Derivative(p, z);
    if (!f) return f;
    Eigen::VectorXd next = prev + 2.0 * h * *f;
    prev = std::move(z);
    z = std::move(next);
  }
  if (method == SolveMethod::kMidpoint) return z;
  auto f = Derivative(p, z);  // Gragg's smoothing step
  if (!f) return f;
  return Eigen::VectorXd(0.5 * (z + prev + h * *f));
}

// Richardson extrapolation to zero step length; errors go as h (Euler) or h squared.
Eigen::VectorXd Extrapolate(std::vector<Eigen::VectorXd> sols, const std::vector<int>& steps,
                            int power) {
  const std::size_t k = sols.size();
  std::vector<double> x(k);
  for (std::size_t i = 0; i < k; ++i) x[i] = std::pow(1.0 / steps[i], power);
  for (std::size_t m = 1; m < k; ++m)
    for (std::size_t i = 0; i + m < k; ++i)
      sols[i] = (x[i] * sols[i + 1] - x[i + m] * sols[i]) / (x[i] - x[i + m]);
  return sols[0];
}

AccuracyBlock JudgeAccuracy(const Problem& p, const Eigen::VectorXd& pre,
                            const Eigen::VectorXd& z_best, const Eigen::VectorXd& z_other) {
  AccuracyBlock b;
  b.variable_figures.assign(static_cast<std::size_t>(p.nv), -1);
  for (int j : p.endo) {
    const int f =
        FiguresAgreeing(pre[j] * std::exp(z_best[p.nd + j]), pre[j] * std::exp(z_other[p.nd + j]));
    b.variables.Add(f);
    b.variable_figures[static_cast<std::size_t>(j)] = f;
  }
  b.data_files.resize(p.model->UpdatedFileNames().size());
  const auto& file_of = p.model->DataFileOf();
  for (int d = 0; d < p.nd; ++d) {
    const int f = FiguresAgreeing(p.v0[d] * std::exp(z_best[d]), p.v0[d] * std::exp(z_other[d]));
    b.data_files[static_cast<std::size_t>(file_of[static_cast<std::size_t>(d)])].Add(f);
    b.data_all.Add(f);
    b.data_figures.push_back(f);
  }
  return b;
}

double CriterionPercent(const AccuracyBlock& b, const AutoAccuracySettings& a) {
  const double pv = PercentAccurate(b.variables, a.figures);
  const double pd = PercentAccurate(b.data_all, a.figures);
  switch (a.criterion) {
    case AccuracyCriterion::kData:
      return pd;
    case AccuracyCriterion::kSolution:
      return pv;
    case AccuracyCriterion::kBoth:
      return std::min(pv, pd);
  }
  return pd;
}

void FillResults(const Problem& p, const Eigen::VectorXd& pre, const Eigen::VectorXd& pct,
                 const std::vector<bool>& exogenous, SolveOutcome& out) {
  for (const VariableInfo& v : p.model->Variables()) {
    VariableResult r{v.name, v.set, v.elements, {}, {}, {}, {}};
    for (int i = 0; i < v.Size(); ++i) {
      const int j = v.first + i;
      r.percent_change.push_back(pct[j]);
      r.pre_level.push_back(pre[j]);
      r.post_level.push_back(pre[j] * (1.0 + pct[j] / 100.0));
      r.exogenous.push_back(exogenous[static_cast<std::size_t>(j)]);
    }
    out.variables.push_back(std::move(r));
  }
}

}  // namespace

Result<SolveOutcome> Solve(const LinearModel& model, const Closure& closure,
                           const std::vector<Shock>& shocks, const SolveSettings& settings,
                           std::vector<std::string>& log) {
  if (auto s = CheckSolveSettings(settings); !s) return Forward(s, "Solve");
  const auto& vars = model.Variables();
  auto flags = ExogenousFlags(closure, vars);
  if (!flags) return Forward(flags, "Solve");
  Problem p;
  p.model = &model;
  p.nv = model.ComponentCount();
  p.v0 = model.StartData();
  p.nd = static_cast<int>(p.v0.size());
  for (int j = 0; j < p.nv; ++j)
    ((*flags)[static_cast<std::size_t>(j)] ? p.exo : p.endo).push_back(j);
  const int need = p.nv - model.EquationCount();
  if (static_cast<int>(p.exo.size()) != need)
    return Fail("Wrong number of exogenous variables: the closure has " +
                std::to_string(p.exo.size()) + " exogenous components but the model needs " +
                std::to_string(need) + " (" + std::to_string(p.nv) + " components, " +
                std::to_string(model.EquationCount()) + " equations)[Solve]");

  const Eigen::VectorXd pre = model.Levels(p.v0);
  auto pcts =
      ShockPercents(shocks, vars, *flags,
                    std::span<const double>(pre.data(), static_cast<std::size_t>(pre.size())));
  if (!pcts) return Forward(pcts, "Solve");
  Eigen::VectorXd exo_pct(static_cast<Eigen::Index>(p.exo.size()));
  p.exo_rate.resize(exo_pct.size());
  for (std::size_t j = 0; j < p.exo.size(); ++j) {
    const double s = (*pcts)[static_cast<std::size_t>(p.exo[j])];
    exo_pct[static_cast<Eigen::Index>(j)] = s;
    p.exo_rate[static_cast<Eigen::Index>(j)] = 100.0 * std::log1p(s / 100.0);
  }

  const bool automatic = settings.automatic_accuracy;
  std::string steps_text;
  for (int n : settings.steps) steps_text += " " + std::to_string(n);
  if (settings.method == SolveMethod::kJohansen) steps_text = " 1";
  log.push_back(" Method = " + MethodName(settings.method) + "; Steps =" + steps_text +
                "; automatic accuracy = " + (automatic ? "yes" : "no") + ".");
  log.push_back(" " + std::to_string(p.exo.size()) + " exogenous and " +
                std::to_string(p.endo.size()) + " endogenous variable components, " +
                std::to_string(model.EquationCount()) + " equations.");

  SolveOutcome out;
  if (settings.method == SolveMethod::kJohansen) {
    auto x = LinearSolve(p, p.v0, exo_pct);
    if (!x) return Fail(x.error());
    Eigen::VectorXd end = p.v0;
    const auto& terms = model.UpdateTerms();
    for (int d = 0; d < p.nd; ++d)
      for (int j : terms[static_cast<std::size_t>(d)]) end[d] *= 1.0 + (*x)[j] / 100.0;
    FillResults(p, pre, *x, *flags, out);
    out.subintervals_used = 1;
    out.end_data = end;
  } else {
    const std::size_t k = settings.steps.size();
    const int power = settings.method == SolveMethod::kEuler ? 1 : 2;
    const AutoAccuracySettings& aa = settings.auto_accuracy;
    const int count = automatic ? aa.subintervals : settings.subintervals;
    const double nominal = 1.0 / count;
    const bool several = automatic || count > 1;
    double length = nominal, t = 0;
    Eigen::VectorXd z = Eigen::VectorXd::Zero(p.nd + p.nv);
    Eigen::VectorXd z_other = z;  // the whole solve along the two-solution extrapolations
    int number = 1;
    while (t < 1.0 - 1e-12) {
      double len = std::min(length, 1.0 - t);
      if (1.0 - t - len < 1e-9) len = 1.0 - t;  // no sliver at the end
      if (several)
        log.push_back(" Subinterval " + std::to_string(number) + ": from " + Real(t) + ", length " +
                      Real(len) + ".");
      auto f0 = Derivative(p, z);
      if (!f0) return Fail(f0.error());
      std::vector<Eigen::VectorXd> sols;
      for (int n : settings.steps) {
        auto s = Integrate(p, settings.method, z, *f0, len, n);
        if (!s) return Fail(s.error());
        sols.push_back(std::move(*s));
      }
      Eigen::VectorXd best = k == 1 ? sols[0] : Extrapolate(sols, settings.steps, power);
      SubintervalRecord rec{number, t, len, true, false, {}};
      Eigen::VectorXd other;
      if (k == 3) {
        other = Extrapolate({sols[1], sols[2]}, {settings.steps[1], settings.steps[2]}, power);
        rec.has_accuracy = true;
        rec.accuracy = JudgeAccuracy(p, pre, best, other);
        WriteAccuracyBlock(log, rec.accuracy, model.UpdatedFileNames(),
                           several ? "Accuracy summary for subinterval " + std::to_string(number)
                                   : "Accuracy summary for the whole solve",
                           false);
        if (automatic) {
          const double got = CriterionPercent(rec.accuracy, aa);
          if (got < aa.percent) {
            const bool at_min = len <= aa.min_subinterval_length * (1 + 1e-9);
            if (!at_min) {
              log.push_back(NotSufficientLine(number, got, aa.percent, aa.figures));
              length = std::max(len / 2, aa.min_subinterval_length);
              log.push_back(" Redoing subinterval " + std::to_string(number) + " with length " +
                            Real(length) + ".");
              rec.accepted = false;
            } else if (aa.stop_on_failure) {
              log.push_back(" Subinterval " + std::to_string(number) +
                            " has the minimum length and still misses the required accuracy;"
                            " the solve stops.");
              return Fail("Required accuracy not reached in a subinterval of the minimum length " +
                          Real(aa.min_subinterval_length) + " (" + Real(got, RealFormat::Fixed(1)) +
                          " percent of results accurate to " + std::to_string(aa.figures) +
                          " figures, " + std::to_string(aa.percent) + " percent required)[Solve]");
            } else {
              log.push_back(" Subinterval " + std::to_string(number) +
                            " has the minimum length; its accuracy is kept although it is"
                            " below the requirement.");
            }
          }
        }
      }
      out.attempts.push_back(rec);
      if (!rec.accepted) continue;
      if (k == 3) z_other += other - z;
      z = std::move(best);
      t += len;
      ++number;
      if (automatic) length = std::min(length * 2, nominal);
    }
    out.subintervals_used = number - 1;
    if (k == 3 && several) {
      out.has_overall = true;
      out.overall = JudgeAccuracy(p, pre, z, z_other);
      WriteAccuracyBlock(log, out.overall, model.UpdatedFileNames(),
                         "Accuracy summary for the whole solve (" +
                             std::to_string(out.subintervals_used) + " subintervals)",
                         true);
    }
    Eigen::VectorXd pct(p.nv);
    for (int j = 0; j < p.nv; ++j)
      pct[j] = (*flags)[static_cast<std::size_t>(j)] ? (*pcts)[static_cast<std::size_t>(j)]
                                                     : 100.0 * std::expm1(z[p.nd + j]);
    FillResults(p, pre, pct, *flags, out);
    out.end_data = DataAt(p, z);
  }
  out.updated_files = model.UpdatedFiles(out.end_data);
  out.output_files = model.OutputFiles(p.v0, out.end_data);
  log.push_back(" The solve ended normally.");
  return out;
}

}  // namespace yl::model
