#include "exact_support.h"

#include <cmath>
#include <stdexcept>

#include "core/text_util.h"

namespace yl::model::testing {
namespace {

double Header(const DataFile& f, const char* h, int i) {
  const DataArray* a = FindArray(f, h);
  if (!a) throw std::runtime_error(std::string("missing ") + h);
  return a->values.at(static_cast<std::size_t>(i));
}

struct Layout {
  const LinearModel* model;
  int Index(const char* name, int i = 0) const {
    for (const VariableInfo& v : model->Variables())
      if (v.name == name) return v.first + i;
    throw std::runtime_error(std::string("no variable ") + name);
  }
};

// The levels equations of docs/demo-model.md, each written as a ratio minus one.
class Levels {
 public:
  Levels(const DemoInputs& in, const LinearModel& model, const Eigen::VectorXd& x0)
      : lay_{&model}, n_(static_cast<int>(in.sectors.elements.size())) {
    omega_ = Header(in.params, "OMEG", 0);
    eps_ = Header(in.params, "EPSI", 0);
    double sum_c = 0, sum_i = 0;
    for (int i = 0; i < n_; ++i) {
      sum_c += X(x0, "p", i) * X(x0, "c", i);
      sum_i += X(x0, "p", i) * X(x0, "xinv", i);
    }
    double log_cpi = 0, log_pinv = 0;
    for (int i = 0; i < n_; ++i) {
      const double sigma = Header(in.params, "SIGM", i);
      const double rho = (sigma - 1) / sigma;
      rho_.push_back(rho);
      dep_.push_back(Header(in.params, "DEPR", i));
      ror_lag_.push_back(Header(in.lag, "CAPR", i) / Header(in.lag, "KVAL", i));
      const double g0 = X(x0, "y", i) / X(x0, "a", i);
      const double scale = X(x0, "pf", i) * X(x0, "a", i) * std::pow(g0, 1 - rho);
      ak_.push_back(X(x0, "r", i) / (scale * std::pow(X(x0, "k", i), rho - 1)));
      al_.push_back(X(x0, "w") / (scale * std::pow(X(x0, "l", i), rho - 1)));
      bc_.push_back(X(x0, "p", i) * X(x0, "c", i) / sum_c);
      bi_.push_back(X(x0, "p", i) * X(x0, "xinv", i) / sum_i);
      psi_.push_back(X(x0, "qi", i) / std::pow(X(x0, "eror", i), eps_));
    }
    for (int i = 0; i < n_; ++i) {
      log_cpi += bc_[static_cast<std::size_t>(i)] * std::log(X(x0, "p", i));
      log_pinv += bi_[static_cast<std::size_t>(i)] * std::log(X(x0, "p", i));
    }
    c_cpi_ = X(x0, "pcpi") / std::exp(log_cpi);
    c_pinv_ = X(x0, "pinv") / std::exp(log_pinv);
  }

  Eigen::VectorXd Residual(const Eigen::VectorXd& x) const {
    std::vector<double> f;
    double sum_l = 0, sum_py = 0, sum_psi = 0, log_cpi = 0, log_pinv = 0;
    for (int i = 0; i < n_; ++i) {
      sum_psi += psi_[S(i)] * std::pow(X(x, "eror", i), eps_);
      log_cpi += bc_[S(i)] * std::log(X(x, "p", i));
      log_pinv += bi_[S(i)] * std::log(X(x, "p", i));
    }
    for (int i = 0; i < n_; ++i) {
      const double rho = rho_[S(i)];
      const double k = X(x, "k", i), l = X(x, "l", i), a = X(x, "a", i), pf = X(x, "pf", i);
      const double g =
          std::pow(ak_[S(i)] * std::pow(k, rho) + al_[S(i)] * std::pow(l, rho), 1 / rho);
      f.push_back(X(x, "y", i) / (a * g) - 1);
      f.push_back(
          X(x, "r", i) / (pf * a * ak_[S(i)] * std::pow(k, rho - 1) * std::pow(g, 1 - rho)) - 1);
      f.push_back(X(x, "w") / (pf * a * al_[S(i)] * std::pow(l, rho - 1) * std::pow(g, 1 - rho)) -
                  1);
      f.push_back(X(x, "p", i) / (pf * X(x, "tpow", i)) - 1);
      f.push_back(X(x, "p", i) * X(x, "c", i) / (bc_[S(i)] * X(x, "cons")) - 1);
      f.push_back(X(x, "p", i) * X(x, "xinv", i) / (bi_[S(i)] * X(x, "invt")) - 1);
      f.push_back((X(x, "c", i) + X(x, "xinv", i)) / X(x, "y", i) - 1);
      f.push_back(X(x, "ror", i) * X(x, "pinv") / X(x, "r", i) - 1);
      f.push_back(X(x, "eror", i) / (omega_ * X(x, "ror", i) + (1 - omega_) * ror_lag_[S(i)]) - 1);
      f.push_back(X(x, "qi", i) * sum_psi /
                      (X(x, "qinv") * psi_[S(i)] * std::pow(X(x, "eror", i), eps_)) -
                  1);
      f.push_back(X(x, "kend", i) / ((1 - dep_[S(i)]) * k + X(x, "qi", i)) - 1);
      sum_l += l;
      sum_py += X(x, "p", i) * X(x, "y", i);
    }
    f.push_back(sum_l / X(x, "ltot") - 1);
    f.push_back(X(x, "pinv") / (c_pinv_ * std::exp(log_pinv)) - 1);
    f.push_back(X(x, "pinv") * X(x, "qinv") / X(x, "invt") - 1);
    f.push_back(X(x, "invt") / (X(x, "savr") * X(x, "gdp")) - 1);
    f.push_back(sum_py / X(x, "gdp") - 1);
    f.push_back(X(x, "pcpi") / (c_cpi_ * std::exp(log_cpi)) - 1);
    return Eigen::Map<Eigen::VectorXd>(f.data(), static_cast<Eigen::Index>(f.size()));
  }

 private:
  static std::size_t S(int i) { return static_cast<std::size_t>(i); }
  double X(const Eigen::VectorXd& x, const char* name, int i = 0) const {
    return x[lay_.Index(name, i)];
  }

  Layout lay_;
  int n_;
  double omega_ = 0, eps_ = 0, c_cpi_ = 1, c_pinv_ = 1;
  std::vector<double> rho_, dep_, ror_lag_, ak_, al_, bc_, bi_, psi_;
};

}  // namespace

ExactSolution SolveLevelsExactly(const DemoInputs& inputs, const LinearModel& model,
                                 const std::vector<bool>& exogenous,
                                 const Eigen::VectorXd& target) {
  const Eigen::VectorXd x0 = model.Levels(model.StartData());
  Levels eq(inputs, model, x0);
  ExactSolution sol;
  sol.start_residual = eq.Residual(x0).cwiseAbs().maxCoeff();
  std::vector<int> endo;
  Eigen::VectorXd x = x0;
  for (int j = 0; j < x.size(); ++j) {
    if (exogenous[static_cast<std::size_t>(j)])
      x[j] = target[j];
    else
      endo.push_back(j);
  }
  // Newton in the logs of the endogenous levels, with a central-difference Jacobian.
  const auto ne = static_cast<Eigen::Index>(endo.size());
  for (sol.iterations = 0; sol.iterations < 60; ++sol.iterations) {
    Eigen::VectorXd f = eq.Residual(x);
    if (f.cwiseAbs().maxCoeff() < 1e-14) break;
    Eigen::MatrixXd jac(f.size(), ne);
    for (Eigen::Index c = 0; c < ne; ++c) {
      const int j = endo[static_cast<std::size_t>(c)];
      const double h = 1e-6, keep = x[j];
      x[j] = keep * std::exp(h);
      Eigen::VectorXd up = eq.Residual(x);
      x[j] = keep * std::exp(-h);
      Eigen::VectorXd down = eq.Residual(x);
      x[j] = keep;
      jac.col(c) = (up - down) / (2 * h);
    }
    Eigen::VectorXd du = jac.fullPivLu().solve(-f);
    for (Eigen::Index c = 0; c < ne; ++c) x[endo[static_cast<std::size_t>(c)]] *= std::exp(du[c]);
  }
  sol.final_residual = eq.Residual(x).cwiseAbs().maxCoeff();
  sol.levels = x;
  return sol;
}

ExactSolution ExactForPercents(const DemoInputs& inputs, const LinearModel& model,
                               const std::vector<bool>& exogenous,
                               const std::vector<double>& percents) {
  Eigen::VectorXd target = model.Levels(model.StartData());
  for (Eigen::Index j = 0; j < target.size(); ++j)
    target[j] *= 1 + percents[static_cast<std::size_t>(j)] / 100;
  return SolveLevelsExactly(inputs, model, exogenous, target);
}

Eigen::VectorXd DataFromLevels(const LinearModel& model, const Eigen::VectorXd& x) {
  Layout lay{&model};
  const int n = static_cast<int>(model.Variables().front().elements.size());
  Eigen::VectorXd d(7 * n);
  for (int i = 0; i < n; ++i) {
    auto v = [&](const char* name, int k = -1) { return x[lay.Index(name, k < 0 ? i : k)]; };
    d[0 * n + i] = v("r") * v("k");
    d[1 * n + i] = v("w", 0) * v("l");
    d[2 * n + i] = v("tpow");
    d[3 * n + i] = v("p") * v("c");
    d[4 * n + i] = v("p") * v("xinv");
    d[5 * n + i] = v("pinv", 0) * v("qi");
    d[6 * n + i] = v("pinv", 0) * v("k");
  }
  return d;
}

namespace {

bool Has(const std::string& line, const char* text) { return line.find(text) != std::string::npos; }

std::string NoBlanks(std::string s) {
  std::erase(s, ' ');
  return s;
}

bool ReadInt(const std::string& s, long& out) {
  if (s.empty() || !(std::isdigit(static_cast<unsigned char>(s[0])) || s[0] == '+' || s[0] == '-' ||
                     s[0] == '.'))
    return false;
  try {
    std::size_t used = 0;
    out = std::stol(s, &used);
    return used == s.size();
  } catch (...) {
    return false;
  }
}

// Reads one block of count lines starting at line i; leaves i on the line that ended it.
std::string ReadPlaces(const std::vector<std::string>& lines, std::size_t& i,
                       std::vector<long>& counts) {
  const char* phrase = "results are judged accurate to";
  while (i < lines.size() && !Has(lines[i], phrase)) ++i;
  if (i == lines.size()) return "Unexpected end-of-file";
  counts.assign(7, 0);
  for (; i < lines.size() && Has(lines[i], phrase); ++i) {
    const std::string& line = lines[i];
    const std::size_t at = line.find(phrase);
    const std::string after = line.substr(at + std::string(phrase).size());
    const std::size_t fig = after.find("figures");
    if (fig == std::string::npos || fig < 2) return "Bad line: " + line;
    long count = 0, f = 0;
    if (!ReadInt(NoBlanks(line.substr(0, at)), count) ||
        !ReadInt(NoBlanks(after.substr(0, fig)), f))
      return "Bad line: " + line;
    if (count < 0 || f < 0 || f > 6) return "Bad line: " + line;
    counts[static_cast<std::size_t>(f)] = count;
  }
  if (i == lines.size()) return "Unexpected end-of-file";
  return "";
}

}  // namespace

ReadSummary ReadAccuracyLog(const std::vector<std::string>& lines, int updated_files) {
  ReadSummary r;
  int n = 0;
  bool overall = false;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::string& line = lines[i];
    if (Has(line, "Accuracy for subinterval ") && Has(line, "not sufficient - accuracy was ")) {
      --n;
    } else if (Has(line, "ACCURACY SUMMARY FOR OVERALL RESULTS")) {
      overall = true;
    } else if (Has(line, "Below are for levels values") ||
               Has(line, "Below are for overall levels values")) {
      ++n;
      r.slots.resize(static_cast<std::size_t>(n));
      ReadSlot& slot = r.slots.back();
      slot = {};
      if (std::string e = ReadPlaces(lines, i, slot.variables); !e.empty()) {
        r.error = e;
        return r;
      }
      if (overall) r.overall_slot = n;
      if (updated_files > 0) {
        const char* marker = updated_files > 1
                                 ? "NEXT SUMMARY IS FOR ALL UPDATED DATA"
                                 : "NEXT SUMMARY IS FOR UPDATED DATA FROM LOGICAL FILE ";
        while (i < lines.size() && !Has(lines[i], marker)) ++i;
        if (i == lines.size()) {
          if (!overall) r.error = "Cannot find data accuracy summary";
          return r;
        }
        if (std::string e = ReadPlaces(lines, i, slot.data); !e.empty()) {
          r.error = e;
          return r;
        }
      }
      overall = false;
      --i;  // the line that ended the block is looked at again
    }
  }
  r.slots.resize(static_cast<std::size_t>(std::max(n, 0)));
  return r;
}

}  // namespace yl::model::testing
