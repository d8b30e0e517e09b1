#include "modelcore/demo_model.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <utility>

#include "core/number_text.h"
#include "core/text_util.h"

namespace yl::model {
namespace {

// Sector variables, in order; each has one component per sector.
enum SectorVar { kY, kA, kK, kL, kR, kPF, kP, kTPOW, kC, kXINV, kQI, kROR, kEROR, kKEND, kNumSV };
// Scalar variables, after the sector ones.
enum ScalarVar { kW, kCONS, kINVT, kQINV, kPINV, kLTOT, kGDP, kSAVR, kPCPI, kNumScalar };

struct VarDef {
  const char* name;
  const char* description;
};
constexpr VarDef kSectorVars[kNumSV] = {
    {"y", "Output volume"},
    {"a", "Productivity (Hicks-neutral)"},
    {"k", "Capital stock, start of period"},
    {"l", "Employment"},
    {"r", "Rental price of capital"},
    {"pf", "Producer price, net of output tax"},
    {"p", "Market price"},
    {"tpow", "Power of the output tax (1 + rate)"},
    {"c", "Household consumption"},
    {"xinv", "Demand for goods to build capital"},
    {"qi", "Real investment by sector of destination"},
    {"ror", "Current rate of return"},
    {"eror", "Expected rate of return"},
    {"kend", "Capital stock, end of period"},
};
constexpr VarDef kScalarVars[kNumScalar] = {
    {"w", "Wage"},
    {"cons", "Household spending"},
    {"invt", "Investment spending"},
    {"qinv", "Real investment"},
    {"pinv", "Price of investment goods"},
    {"ltot", "Employment, all sectors"},
    {"gdp", "Nominal GDP"},
    {"savr", "Saving rate"},
    {"pcpi", "Consumer price index (numeraire)"},
};

// The forward-looking variant's variables: the scalar homotopy d_f, then these over SECT.
enum ReVar { kFF, kFDiseq, kFDiseqre, kDiseq, kErorO, kFErorO, kRorSeO, kFRorSeO, kNumRe };
constexpr VarDef kHomotopyDef = {kHomotopyVariable,
                                 "Homotopy carrying expectations from this period to the next"};
constexpr VarDef kReVars[kNumRe] = {
    {"d_ff", "Total shift of the expected rate of return"},
    {"d_f_diseq", "Expectation shift from current returns (first iteration only)"},
    {"d_f_diseqre", "Shift of the expectation error (RE instrument)"},
    {"d_diseq", "Expectation error: current over expected rate of return"},
    {"d_eror_o", "Other shift of the expected rate of return"},
    {"d_f_eror_o", "Instrument of the other expectation shift"},
    {"del_ror_se_o", "Static expectation of the rate of return"},
    {"d_f_ror_se_o", "Shift of the static expectation"},
};
// Equations of the variant, after the ordinary ones, each over SECT.
enum ReEquation { kEFF, kEFDiseq, kEDiseq, kEErorO, kERorSeO, kNumReEq };

// Updated coefficients (BASEDATA), each over SECT, in the order of the flat data vector.
enum DataHeader { kCAPR, kLABR, kTPOWD, kHOUS, kINVD, kINVS, kKVAL, kNumData };
struct HeaderDef {
  const char* header;
  const char* coefficient;
  const char* description;
};
constexpr HeaderDef kDataHeaders[kNumData] = {
    {"CAPR", "CAPRENT", "Capital rentals"},
    {"LABR", "LABCOST", "Labour costs"},
    {"TPOW", "TAXPOWER", "Power of the output tax"},
    {"HOUS", "HOUSEHOLD", "Household purchases"},
    {"INVD", "INVDEMAND", "Purchases of goods for investment"},
    {"INVS", "INVESTMENT", "Investment by sector of destination"},
    {"KVAL", "CAPSTOCK", "Capital stock at start of period"},
};

// Updated data drift a little from balance (the more, the cruder the solution method);
// only a clear imbalance is a data error.
constexpr double kBalanceTolerance = 0.01;

Status NeedArray(const DataFile& file, const char* header, std::size_t size,
                 std::vector<double>& out) {
  const DataArray* a = FindArray(file, header);
  if (!a) return Fail("Header " + std::string(header) + " missing from " + file.logical_name);
  if (a->values.size() != size)
    return Fail("Header " + std::string(header) + " of " + file.logical_name + " has " +
                std::to_string(a->values.size()) + " values, expected " + std::to_string(size));
  for (double v : a->values)
    if (!std::isfinite(v))
      return Fail("Header " + std::string(header) + " of " + file.logical_name +
                  " holds a value that is not a number");
  out = a->values;
  return Ok();
}

DataArray SectorArray(const SetInfo& sectors, const char* header, const char* coefficient,
                      const char* description, std::vector<double> values) {
  return {header, coefficient, description, {sectors.name}, std::move(values)};
}

DataArray ScalarArray(const char* header, const char* coefficient, const char* description,
                      double value) {
  return {header, coefficient, description, {}, {value}};
}

Result<double> SingleValue(const DataFile& file, const char* header) {
  std::vector<double> v;
  if (auto s = NeedArray(file, header, 1, v); !s) return Fail(s.error());
  return v[0];
}

// A count or index held as a real value.
Result<int> WholeNumber(const DataFile& file, const char* header, int least) {
  auto v = SingleValue(file, header);
  if (!v) return Fail(v.error());
  const double r = std::round(*v);
  if (std::abs(*v - r) > 1e-4 || r < least || r > 1e6)
    return Fail("Header " + std::string(header) + " of " + file.logical_name +
                " must be a whole number of at least " + std::to_string(least) + ", not " +
                FormatReal(*v, RealFormat::General(6)));
  return static_cast<int>(r);
}

// `file` with the values of `header` replaced.
DataFile WithValues(DataFile file, const char* header, std::vector<double> values) {
  for (DataArray& a : file.arrays)
    if (SameText(a.header, header)) a.values = values;
  return file;
}

DataFile BaseFile(const SetInfo& sectors, const std::string& logical,
                  const std::vector<std::vector<double>>& columns) {
  DataFile f{logical, {}};
  for (int h = 0; h < kNumData; ++h)
    f.arrays.push_back(SectorArray(sectors, kDataHeaders[h].header, kDataHeaders[h].coefficient,
                                   kDataHeaders[h].description, columns[h]));
  return f;
}

}  // namespace

DemoInputs DemoStartData() {
  DemoInputs in;
  in.sectors = {kSectorSet, {"AGR", "MAN", "SER"}};
  // Sales at market prices equal costs times the tax power; investment bought equals
  // investment received.
  std::vector<std::vector<double>> base = {{30, 60, 120},      // CAPR
                                           {20, 90, 180},      // LABR
                                           {1.0, 1.05, 1.0},   // TPOW
                                           {48, 97.5, 260},    // HOUS
                                           {2, 60, 40},        // INVD
                                           {12, 35, 55},       // INVS
                                           {300, 500, 1200}};  // KVAL
  in.base = BaseFile(in.sectors, kBaseDataFile, base);
  std::vector<std::vector<double>> lag = base;
  for (int h : {kCAPR, kLABR, kHOUS, kINVD, kINVS})
    for (double& v : lag[h]) v *= 0.97;
  lag[kKVAL] = {291, 480, 1188};
  in.lag = BaseFile(in.sectors, kLagDataFile, lag);
  in.params.logical_name = kParamsFile;
  in.params.arrays = {
      SectorArray(in.sectors, "DEPR", "DEPREC", "Depreciation rate", {0.03, 0.05, 0.04}),
      SectorArray(in.sectors, "SIGM", "SIGMA", "Capital-labour substitution elasticity",
                  {0.5, 0.8, 1.2}),
      ScalarArray("EPSI", "INVELAST", "Investment response to expected returns", 2.0),
      ScalarArray("OMEG", "EXPWEIGHT", "Weight of the current return in expectations", 0.6)};
  return in;
}

DemoInputs NextPeriodInputs(const DemoInputs& current, const std::vector<DataFile>& updated) {
  DemoInputs next = current;
  for (const DataFile& f : updated) {
    if (SameText(f.logical_name, kBaseDataFile)) next.base = f;
    if (!next.expectations) continue;
    if (SameText(f.logical_name, kRorextFile)) next.expectations->rorext = f;
    if (SameText(f.logical_name, kIterFile)) next.expectations->iter = f;
    if (SameText(f.logical_name, kExtraFile)) next.expectations->extra = f;
  }
  next.lag = current.base;
  next.lag.logical_name = kLagDataFile;
  return next;
}

Result<std::unique_ptr<DemoModel>> MakeDemoModel(const DemoInputs& inputs) {
  auto fail = [](const std::string& text) { return Fail(text + "[MakeDemoModel]"); };
  const SetInfo& sect = inputs.sectors;
  const auto n = sect.elements.size();
  if (n == 0) return fail("Set " + sect.name + " has no elements");
  for (std::size_t i = 0; i < n; ++i)
    for (std::size_t j = i + 1; j < n; ++j)
      if (SameText(sect.elements[i], sect.elements[j]))
        return fail("Element " + sect.elements[i] + " appears twice in set " + sect.name);

  std::unique_ptr<DemoModel> m(new DemoModel());
  m->n_ = static_cast<int>(n);
  m->sectors_ = sect;

  std::vector<std::vector<double>> cols(kNumData);
  for (int h = 0; h < kNumData; ++h) {
    if (auto s = NeedArray(inputs.base, kDataHeaders[h].header, n, cols[h]); !s)
      return fail(s.error());
    for (std::size_t i = 0; i < n; ++i)
      if (!(cols[h][i] > 0))
        return fail("Header " + std::string(kDataHeaders[h].header) + " of " +
                    inputs.base.logical_name + " must be positive (sector " + sect.elements[i] +
                    ")");
  }
  double inv_demand = 0, inv_dest = 0;
  for (std::size_t i = 0; i < n; ++i) {
    double sales = cols[kHOUS][i] + cols[kINVD][i];
    double costs = cols[kTPOWD][i] * (cols[kCAPR][i] + cols[kLABR][i]);
    if (std::abs(sales - costs) > kBalanceTolerance * sales)
      return fail("Data not balanced: sales of " + sect.elements[i] + " (" +
                  FormatReal(sales, RealFormat::Fixed(6)) +
                  ") differ from its costs including tax (" +
                  FormatReal(costs, RealFormat::Fixed(6)) + ")");
    inv_demand += cols[kINVD][i];
    inv_dest += cols[kINVS][i];
  }
  if (std::abs(inv_demand - inv_dest) > kBalanceTolerance * inv_demand)
    return fail("Data not balanced: investment by destination (" +
                FormatReal(inv_dest, RealFormat::Fixed(6)) +
                ") differs from purchases for investment (" +
                FormatReal(inv_demand, RealFormat::Fixed(6)) + ")");

  std::vector<double> eps, omega;
  if (auto s = NeedArray(inputs.params, "DEPR", n, m->depr_); !s) return fail(s.error());
  if (auto s = NeedArray(inputs.params, "SIGM", n, m->sigma_); !s) return fail(s.error());
  if (auto s = NeedArray(inputs.params, "EPSI", 1, eps); !s) return fail(s.error());
  if (auto s = NeedArray(inputs.params, "OMEG", 1, omega); !s) return fail(s.error());
  for (std::size_t i = 0; i < n; ++i) {
    if (!(m->depr_[i] >= 0 && m->depr_[i] < 1))
      return fail("Depreciation rate of " + sect.elements[i] + " must be at least 0 and below 1");
    if (!(m->sigma_[i] > 0))
      return fail("Substitution elasticity of " + sect.elements[i] + " must be positive");
  }
  m->epsilon_ = eps[0];
  m->omega_ = omega[0];
  if (!(m->epsilon_ >= 0)) return fail("Investment elasticity EPSI must not be negative");
  if (!(m->omega_ > 0 && m->omega_ <= 1)) return fail("Weight OMEG must be above 0 and at most 1");

  std::vector<double> lag_capr, lag_kval;
  if (auto s = NeedArray(inputs.lag, "CAPR", n, lag_capr); !s) return fail(s.error());
  if (auto s = NeedArray(inputs.lag, "KVAL", n, lag_kval); !s) return fail(s.error());
  for (std::size_t i = 0; i < n; ++i) {
    if (!(lag_capr[i] > 0 && lag_kval[i] > 0))
      return fail("Lagged capital data of " + sect.elements[i] + " must be positive");
    m->ror_lag_.push_back(lag_capr[i] / lag_kval[i]);
  }

  if (inputs.expectations) {
    if (auto s = m->ReadExpectations(*inputs.expectations, cols); !s) return fail(s.error());
  }

  int first = 0;
  for (const VarDef& d : kSectorVars) {
    m->vars_.push_back({d.name, sect.name, sect.elements, d.description, first});
    first += m->n_;
  }
  for (const VarDef& d : kScalarVars) {
    m->vars_.push_back({d.name, "", {}, d.description, first});
    ++first;
  }
  if (m->re_) {
    m->vars_.push_back({kHomotopyDef.name, "", {}, kHomotopyDef.description, first});
    ++first;
    for (const VarDef& d : kReVars) {
      m->vars_.push_back({d.name, sect.name, sect.elements, d.description, first});
      first += m->n_;
    }
  }
  m->ncomp_ = first;

  const int nd = kNumData * m->n_;
  m->start_.resize(nd);
  m->updates_.assign(static_cast<std::size_t>(nd), {});
  m->file_of_.assign(static_cast<std::size_t>(nd), 0);
  m->file_names_ = {kBaseDataFile};
  const int nn = m->n_;
  auto sv = [nn](int v, int i) { return v * nn + i; };
  auto sc = [nn](int s) { return kNumSV * nn + s; };
  for (int h = 0; h < kNumData; ++h) {
    for (int i = 0; i < nn; ++i) {
      const int d = h * nn + i;
      m->start_[d] = cols[h][static_cast<std::size_t>(i)];
      std::vector<int>& u = m->updates_[static_cast<std::size_t>(d)];
      switch (h) {
        case kCAPR:
          u = {sv(kR, i), sv(kK, i)};
          break;
        case kLABR:
          u = {sc(kW), sv(kL, i)};
          break;
        case kTPOWD:
          u = {sv(kTPOW, i)};
          break;
        case kHOUS:
          u = {sv(kP, i), sv(kC, i)};
          break;
        case kINVD:
          u = {sv(kP, i), sv(kXINV, i)};
          break;
        case kINVS:
          u = {sc(kPINV), sv(kQI, i)};
          break;
        case kKVAL:
          u = {sc(kPINV), sv(kK, i)};
          break;
      }
    }
  }
  return m;
}

int DemoModel::ReFirst() const { return kNumSV * n_ + kNumScalar; }

Status DemoModel::ReadExpectations(const DemoExpectations& files,
                                   const std::vector<std::vector<double>>& cols) {
  const auto n = static_cast<std::size_t>(n_);
  re_ = true;
  re_files_ = files;
  auto count = [](Result<int> r, int& out) {
    if (r) out = *r;
    return r ? Ok() : Fail(r.error());
  };
  if (auto s = count(WholeNumber(files.iter, "ITNO", 1), pos_.iteration); !s) return s;
  if (auto s = count(WholeNumber(files.extra, "YEAR", 1), pos_.period); !s) return s;
  if (auto s = count(WholeNumber(files.rorext, "HORZ", 1), pos_.horizon); !s) return s;
  if (auto s = count(WholeNumber(files.rorext, "YRPL", 1), pos_.first_period); !s) return s;
  if (auto s = count(WholeNumber(files.rorext, "NFIT", 1), pos_.base_iterations); !s) return s;
  if (auto s = count(WholeNumber(files.rorext, "NRIT", 0), pos_.rerun_iterations); !s) return s;
  if (auto s = NeedArray(files.rorext, "ADRE", n, adre_); !s) return s;
  for (std::size_t i = 0; i < n; ++i)
    if (!(adre_[i] > 0 && adre_[i] <= 1))
      return Fail("Revision weight ADRE of " + sectors_.elements[i] +
                  " must be above 0 and at most 1");

  const DataArray* rorg = FindArray(files.rorext, "RORG");
  if (!rorg) return Fail("Header RORG missing from " + files.rorext.logical_name);
  if (rorg->sets.size() != 2 || rorg->values.size() % n != 0)
    return Fail("Header RORG of " + files.rorext.logical_name +
                " must have two dimensions, the first with one element per sector");
  rorg_periods_ = static_cast<int>(rorg->values.size() / n);
  if (auto s = NeedArray(files.rorext, "RORG", rorg->values.size(), rorg_); !s) return s;

  const ExpectationsPosition& p = pos_;
  if (p.horizon > rorg_periods_)
    return Fail("The horizon HORZ (" + std::to_string(p.horizon) + " periods) is longer than " +
                "RORG (" + std::to_string(rorg_periods_) + " periods)");
  if (p.period > p.horizon)
    return Fail("Period " + std::to_string(p.period) + " (header YEAR of " +
                files.extra.logical_name + ") is beyond the horizon HORZ (" +
                std::to_string(p.horizon) + ")");
  if (p.period < p.first_period)
    return Fail("Period " + std::to_string(p.period) + " comes before the first period YRPL (" +
                std::to_string(p.first_period) + ") of this run");
  // A Base iteration starts in the first period.
  if (p.iteration <= p.base_iterations && p.first_period != 1)
    return Fail("Iteration " + std::to_string(p.iteration) + " is one of the " +
                std::to_string(p.base_iterations) + " Base iterations (NFIT) but YRPL is " +
                std::to_string(p.first_period) + ", not 1");

  // Before any iteration has run, expectations are static: the current return blended
  // with last period's, as in the ordinary demo.
  static_ = p.iteration == 1;
  const auto now = static_cast<std::size_t>(p.period - 1);
  // Beyond the horizon investors expect the last period's return to last.
  const auto next = static_cast<std::size_t>(std::min(p.period + 1, p.horizon) - 1);
  for (std::size_t i = 0; i < n; ++i) {
    const double ror = cols[kCAPR][i] / cols[kKVAL][i];
    const double se = omega_ * ror + (1 - omega_) * ror_lag_[i];
    double g0 = se, g1 = se;
    if (!static_) {
      g0 = rorg_[i + n * now];
      g1 = rorg_[i + n * next];
      for (auto [g, at] : {std::pair{g0, now}, std::pair{g1, next}})
        if (!(g > 0))
          return Fail("The expected rate of return RORG of " + sectors_.elements[i] +
                      " for period " + std::to_string(at + 1) + " is not positive in iteration " +
                      std::to_string(p.iteration) +
                      "; only the first iteration starts without expectations");
    }
    g0_.push_back(g0);
    g1_.push_back(g1);
    kappa_.push_back(std::log(g1 / g0) / std::log(2.0));
  }
  return Ok();
}

void DemoModel::Assemble(const Eigen::VectorXd& data, Eigen::MatrixXd& a) const {
  const int n = n_;
  a.setZero(EquationCount(), ncomp_);
  auto sv = [n](int v, int i) { return v * n + i; };
  auto sc = [n](int s) { return kNumSV * n + s; };
  auto d = [&](int h, int i) { return data[h * n + i]; };

  double sum_labr = 0, sum_hous = 0, sum_invd = 0, sum_invs = 0, gdp = 0;
  for (int i = 0; i < n; ++i) {
    sum_labr += d(kLABR, i);
    sum_hous += d(kHOUS, i);
    sum_invd += d(kINVD, i);
    sum_invs += d(kINVS, i);
    gdp += d(kHOUS, i) + d(kINVD, i);
  }
  auto row = [n](int e, int i) { return e * n + i; };
  for (int i = 0; i < n; ++i) {
    const auto si = static_cast<std::size_t>(i);
    const double sig = sigma_[si];
    const double capr = d(kCAPR, i), labr = d(kLABR, i), pfy = capr + labr;
    const double py = d(kHOUS, i) + d(kINVD, i);
    // Capital and labour demands of a CES technology with Hicks-neutral productivity.
    for (int e = 0; e < 2; ++e) {
      const int r = row(e, i);
      a(r, sv(e == 0 ? kK : kL, i)) = 1;
      a(r, sv(kY, i)) = -1;
      a(r, sv(kA, i)) = 1 - sig;
      a(r, e == 0 ? sv(kR, i) : sc(kW)) = sig;
      a(r, sv(kPF, i)) = -sig;
    }
    // Zero profit.
    int r = row(2, i);
    a(r, sv(kPF, i)) = pfy;
    a(r, sv(kY, i)) = pfy;
    a(r, sv(kR, i)) = -capr;
    a(r, sv(kK, i)) = -capr;
    a(r, sc(kW)) = -labr;
    a(r, sv(kL, i)) = -labr;
    // Market price = producer price times tax power.
    r = row(3, i);
    a(r, sv(kP, i)) = 1;
    a(r, sv(kPF, i)) = -1;
    a(r, sv(kTPOW, i)) = -1;
    // Cobb-Douglas household and investment demands.
    r = row(4, i);
    a(r, sv(kP, i)) = 1;
    a(r, sv(kC, i)) = 1;
    a(r, sc(kCONS)) = -1;
    r = row(5, i);
    a(r, sv(kP, i)) = 1;
    a(r, sv(kXINV, i)) = 1;
    a(r, sc(kINVT)) = -1;
    // Market clearing, weighted by values.
    r = row(6, i);
    a(r, sv(kY, i)) = py;
    a(r, sv(kC, i)) = -d(kHOUS, i);
    a(r, sv(kXINV, i)) = -d(kINVD, i);
    // Current rate of return = rental / price of capital goods.
    r = row(7, i);
    a(r, sv(kROR, i)) = 1;
    a(r, sv(kR, i)) = -1;
    a(r, sc(kPINV)) = 1;
    // Expected return blends the current return with last period's (a constant here).
    // Forward-looking investors instead move from this period's expectation to the
    // next one's as the homotopy goes from 1 to 2, times the total shift.
    const double ror = capr / d(kKVAL, i);
    const double eror = omega_ * ror + (1 - omega_) * ror_lag_[si];
    r = row(8, i);
    if (re_) {
      a(r, sv(kEROR, i)) = 1;
      a(r, ReFirst()) = -kappa_[si];
      a(r, ReFirst() + 1 + kFF * n + i) = -1;
    } else {
      a(r, sv(kEROR, i)) = eror;
      a(r, sv(kROR, i)) = -omega_ * ror;
    }
    // Investment shares follow expected returns with elasticity epsilon.
    r = row(9, i);
    a(r, sv(kQI, i)) = 1;
    a(r, sc(kQINV)) = -1;
    a(r, sv(kEROR, i)) = -epsilon_;
    for (int j = 0; j < n; ++j) a(r, sv(kEROR, j)) += epsilon_ * d(kINVS, j) / sum_invs;
    // Capital accumulation, valued at the price of capital goods.
    r = row(10, i);
    const double kval = d(kKVAL, i), invs = d(kINVS, i);
    a(r, sv(kKEND, i)) = (1 - depr_[si]) * kval + invs;
    a(r, sv(kK, i)) = -(1 - depr_[si]) * kval;
    a(r, sv(kQI, i)) = -invs;
  }
  const int base = 11 * n;
  // Sector employment adds up to total employment (one wage for all sectors).
  for (int i = 0; i < n; ++i) a(base, sv(kL, i)) = d(kLABR, i);
  a(base, sc(kLTOT)) = -sum_labr;
  // Price of investment goods (Cobb-Douglas).
  a(base + 1, sc(kPINV)) = 1;
  for (int i = 0; i < n; ++i) a(base + 1, sv(kP, i)) = -d(kINVD, i) / sum_invd;
  // Real investment.
  a(base + 2, sc(kPINV)) = 1;
  a(base + 2, sc(kQINV)) = 1;
  a(base + 2, sc(kINVT)) = -1;
  // Investment spending is the saving rate times GDP.
  a(base + 3, sc(kINVT)) = 1;
  a(base + 3, sc(kSAVR)) = -1;
  a(base + 3, sc(kGDP)) = -1;
  // Nominal GDP.
  a(base + 4, sc(kGDP)) = gdp;
  for (int i = 0; i < n; ++i) {
    const double py = d(kHOUS, i) + d(kINVD, i);
    a(base + 4, sv(kP, i)) = -py;
    a(base + 4, sv(kY, i)) = -py;
  }
  // Consumer price index, the numeraire.
  a(base + 5, sc(kPCPI)) = 1;
  for (int i = 0; i < n; ++i) a(base + 5, sv(kP, i)) = -d(kHOUS, i) / sum_hous;
  if (re_) AssembleExpectations(data, a);
}

void DemoModel::AssembleExpectations(const Eigen::VectorXd& data, Eigen::MatrixXd& a) const {
  const int n = n_;
  const int first_row = 11 * n + 6;
  auto rv = [&](int v, int i) { return ReFirst() + 1 + v * n + i; };
  auto row = [&](int e, int i) { return first_row + e * n + i; };
  const double adaptive = static_ ? 1.0 : 0.0;
  for (int i = 0; i < n; ++i) {
    const auto si = static_cast<std::size_t>(i);
    const double ror = data[kCAPR * n + i] / data[kKVAL * n + i];
    const double se = omega_ * ror + (1 - omega_) * ror_lag_[si];
    const int ror_col = kROR * n + i;
    // D_FF = D_F_DISEQ * D_EROR_O
    int r = row(kEFF, i);
    a(r, rv(kFF, i)) = 1;
    a(r, rv(kFDiseq, i)) = -1;
    a(r, rv(kErorO, i)) = -1;
    // Until expectations are formed they follow current returns as the static ones do:
    // D_F_DISEQ = SE / SE at the start.
    r = row(kEFDiseq, i);
    a(r, rv(kFDiseq, i)) = se;
    a(r, ror_col) = -adaptive * omega_ * ror;
    // D_DISEQ = ROR / (expected now * D_F_DISEQRE)
    r = row(kEDiseq, i);
    a(r, rv(kDiseq, i)) = 1;
    a(r, ror_col) = -1;
    a(r, rv(kFDiseqre, i)) = 1;
    // D_EROR_O = D_F_EROR_O
    r = row(kEErorO, i);
    a(r, rv(kErorO, i)) = 1;
    a(r, rv(kFErorO, i)) = -1;
    // DEL_ROR_SE_O = SE * D_F_ROR_SE_O
    r = row(kERorSeO, i);
    a(r, rv(kRorSeO, i)) = se;
    a(r, ror_col) = -omega_ * ror;
    a(r, rv(kFRorSeO, i)) = -se;
  }
}

Eigen::VectorXd DemoModel::Levels(const Eigen::VectorXd& data) const {
  // Producer prices, the wage and the price indexes are 1 at the start of the period, so
  // quantities are values at start-of-period prices.
  const int n = n_;
  Eigen::VectorXd lv(ncomp_);
  auto d = [&](int h, int i) { return data[h * n + i]; };
  auto set = [&](int v, int i, double x) { lv[v * n + i] = x; };
  double sum_labr = 0, sum_hous = 0, sum_invd = 0, gdp = 0;
  for (int i = 0; i < n; ++i) {
    const auto si = static_cast<std::size_t>(i);
    const double tp = d(kTPOWD, i), ror = d(kCAPR, i) / d(kKVAL, i);
    set(kY, i, d(kCAPR, i) + d(kLABR, i));
    set(kA, i, 1);
    set(kK, i, d(kKVAL, i));
    set(kL, i, d(kLABR, i));
    set(kR, i, ror);
    set(kPF, i, 1);
    set(kP, i, tp);
    set(kTPOW, i, tp);
    set(kC, i, d(kHOUS, i) / tp);
    set(kXINV, i, d(kINVD, i) / tp);
    set(kQI, i, d(kINVS, i));
    set(kROR, i, ror);
    const double se = omega_ * ror + (1 - omega_) * ror_lag_[si];
    set(kEROR, i, re_ ? g0_[si] : se);
    set(kKEND, i, (1 - depr_[si]) * d(kKVAL, i) + d(kINVS, i));
    sum_labr += d(kLABR, i);
    sum_hous += d(kHOUS, i);
    sum_invd += d(kINVD, i);
    gdp += d(kHOUS, i) + d(kINVD, i);
  }
  const int s0 = kNumSV * n;
  lv[s0 + kW] = 1;
  lv[s0 + kCONS] = sum_hous;
  lv[s0 + kINVT] = sum_invd;
  lv[s0 + kQINV] = sum_invd;
  lv[s0 + kPINV] = 1;
  lv[s0 + kLTOT] = sum_labr;
  lv[s0 + kGDP] = gdp;
  lv[s0 + kSAVR] = sum_invd / gdp;
  lv[s0 + kPCPI] = 1;
  if (re_) {
    const int r0 = ReFirst();
    lv[r0] = 1;
    for (int v = 0; v < kNumRe; ++v)
      for (int i = 0; i < n; ++i) lv[r0 + 1 + v * n + i] = 1;
    for (int i = 0; i < n; ++i) {
      const auto si = static_cast<std::size_t>(i);
      const double ror = d(kCAPR, i) / d(kKVAL, i);
      lv[r0 + 1 + kDiseq * n + i] = ror / g0_[si];
      lv[r0 + 1 + kRorSeO * n + i] = omega_ * ror + (1 - omega_) * ror_lag_[si];
    }
  }
  return lv;
}

std::vector<DataFile> DemoModel::UpdatedFiles(const Eigen::VectorXd& data) const {
  const int n = n_;
  std::vector<std::vector<double>> cols(kNumData, std::vector<double>(static_cast<std::size_t>(n)));
  for (int h = 0; h < kNumData; ++h)
    for (int i = 0; i < n; ++i) cols[h][static_cast<std::size_t>(i)] = data[h * n + i];
  // The capital written out is next period's starting stock.
  for (int i = 0; i < n; ++i) {
    const auto si = static_cast<std::size_t>(i);
    cols[kKVAL][si] = (1 - depr_[si]) * cols[kKVAL][si] + cols[kINVS][si];
  }
  std::vector<DataFile> files = {BaseFile(sectors_, kBaseDataFile, cols)};
  if (!re_) return files;
  // This period's expectation moves toward the return it realised; the next iteration's
  // investment in the period before is decided on the revised value.
  std::vector<double> rorg = rorg_;
  const auto now = static_cast<std::size_t>(pos_.period - 1);
  for (int i = 0; i < n; ++i) {
    const auto si = static_cast<std::size_t>(i);
    const double realised = data[kCAPR * n + i] / data[kKVAL * n + i];
    double& g = rorg[si + static_cast<std::size_t>(n) * now];
    g = static_ ? realised : g + adre_[si] * (realised - g);
  }
  // The last period of an iteration counts it done.
  const bool last = pos_.period == pos_.horizon;
  files.push_back(WithValues(re_files_.rorext, "RORG", std::move(rorg)));
  files.push_back(WithValues(re_files_.iter, "ITNO", {pos_.iteration + (last ? 1.0 : 0.0)}));
  files.push_back(WithValues(re_files_.extra, "YEAR", {pos_.period + 1.0}));
  return files;
}

std::vector<DataFile> DemoModel::OutputFiles(const Eigen::VectorXd& start,
                                             const Eigen::VectorXd& end) const {
  const int n = n_;
  auto d = [&](const Eigen::VectorXd& v, int h, int i) { return v[h * n + i]; };
  std::vector<double> kgrowth, ror_now, ror_exp, employ;
  double gdp = 0, labr = 0;
  for (int i = 0; i < n; ++i) labr += d(end, kLABR, i);
  for (int i = 0; i < n; ++i) {
    const auto si = static_cast<std::size_t>(i);
    const double kval = d(end, kKVAL, i);
    const double ror = d(end, kCAPR, i) / kval;
    kgrowth.push_back(100.0 * (((1 - depr_[si]) * kval + d(end, kINVS, i)) / kval - 1.0));
    ror_now.push_back(ror);
    ror_exp.push_back(re_ && !static_ ? g1_[si] : omega_ * ror + (1 - omega_) * ror_lag_[si]);
    employ.push_back(100.0 * d(end, kLABR, i) / labr);
    gdp += d(end, kHOUS, i) + d(end, kINVD, i);
  }
  double gdp_start = 0;
  for (int i = 0; i < n; ++i) gdp_start += d(start, kHOUS, i) + d(start, kINVD, i);
  DataFile f{kSummaryFile, {}};
  f.arrays = {
      SectorArray(sectors_, "KGRW", "KGROWTH", "Capital growth over the period, percent", kgrowth),
      SectorArray(sectors_, "RORC", "RORCURRENT", "Current rate of return, end of period", ror_now),
      SectorArray(sectors_, "RORE", "ROREXPECTED", "Expected rate of return, end of period",
                  ror_exp),
      SectorArray(sectors_, "EMPL", "EMPSHARE", "Share of employment, percent", employ),
      ScalarArray("GDPV", "GDPVALUE", "Nominal GDP, end of period", gdp),
      ScalarArray("GDPG", "GDPGROWTH", "Growth of nominal GDP over the period, percent",
                  100.0 * (gdp / gdp_start - 1.0))};
  return {f};
}

namespace {

bool HasVariable(const LinearModel& model, const char* name) {
  for (const VariableInfo& v : model.Variables())
    if (SameText(v.name, name)) return true;
  return false;
}

// Instrument and outcome of each expectation term: the Base fixes the instrument, the
// Rerun and the Policy hold the outcome at the Base's value.
constexpr std::pair<const char*, const char*> kReSwaps[] = {
    {"d_f_diseqre", "d_diseq"}, {"d_f_eror_o", "d_eror_o"}, {"d_f_ror_se_o", "del_ror_se_o"}};

}  // namespace

Closure DemoBaseClosure(const LinearModel& model) {
  Closure c;
  for (const char* v : {"y", "k", "tpow", "ltot", "savr", "pcpi"})
    (void)Exogenous(c, model.Variables(), v);
  if (HasVariable(model, kHomotopyVariable)) {
    (void)Exogenous(c, model.Variables(), kHomotopyVariable);
    for (auto [instrument, outcome] : kReSwaps) (void)Exogenous(c, model.Variables(), instrument);
  }
  Rest(c, model.Variables(), false);
  return c;
}

Closure DemoPolicyClosure(const LinearModel& model) {
  Closure c = DemoBaseClosure(model);
  (void)Swap(c, model.Variables(), "y", {}, "a", {});
  if (HasVariable(model, kHomotopyVariable))
    for (auto [instrument, outcome] : kReSwaps)
      (void)Swap(c, model.Variables(), instrument, {}, outcome, {});
  return c;
}

}  // namespace yl::model
