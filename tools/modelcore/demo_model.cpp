#include "modelcore/demo_model.h"

#include <cmath>
#include <numeric>

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
  for (const DataFile& f : updated)
    if (SameText(f.logical_name, kBaseDataFile)) next.base = f;
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

  int first = 0;
  for (const VarDef& d : kSectorVars) {
    m->vars_.push_back({d.name, sect.name, sect.elements, d.description, first});
    first += m->n_;
  }
  for (const VarDef& d : kScalarVars) {
    m->vars_.push_back({d.name, "", {}, d.description, first});
    ++first;
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
    const double ror = capr / d(kKVAL, i);
    const double eror = omega_ * ror + (1 - omega_) * ror_lag_[si];
    r = row(8, i);
    a(r, sv(kEROR, i)) = eror;
    a(r, sv(kROR, i)) = -omega_ * ror;
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
    set(kEROR, i, omega_ * ror + (1 - omega_) * ror_lag_[si]);
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
  return {BaseFile(sectors_, kBaseDataFile, cols)};
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
    ror_exp.push_back(omega_ * ror + (1 - omega_) * ror_lag_[si]);
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

Closure DemoBaseClosure(const LinearModel& model) {
  Closure c;
  for (const char* v : {"y", "k", "tpow", "ltot", "savr", "pcpi"})
    (void)Exogenous(c, model.Variables(), v);
  Rest(c, model.Variables(), false);
  return c;
}

Closure DemoPolicyClosure(const LinearModel& model) {
  Closure c = DemoBaseClosure(model);
  (void)Swap(c, model.Variables(), "y", {}, "a", {});
  return c;
}

}  // namespace yl::model
