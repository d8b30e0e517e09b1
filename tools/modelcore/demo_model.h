#pragma once
// The demo model: a small multi-sector growth model (docs/demo-model.md). Capital at the
// start of the period is given; investment, allocated by expected rates of return that
// blend the current return with last period's, builds the end-of-period capital that
// the updated data carries into the next period.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/status.h"
#include "modelcore/closure.h"
#include "modelcore/linear_model.h"
#include "modelcore/model_types.h"

namespace yl::model {

inline constexpr const char* kBaseDataFile = "BASEDATA";  // updated input
inline constexpr const char* kParamsFile = "PARAMS";      // constant input
inline constexpr const char* kLagDataFile = "LAGDATA";    // lagged input, lag of BASEDATA
inline constexpr const char* kSummaryFile = "SUMMARY";    // output only
inline constexpr const char* kSectorSet = "SECT";

// The forward-looking variant's files, all updated inputs.
inline constexpr const char* kRorextFile = "ROREXT";  // expectations by industry and period
inline constexpr const char* kIterFile = "ITER";      // the iteration counter
inline constexpr const char* kExtraFile = "EXTRA";    // the period index
// The homotopy variable carrying the revision of expectations through each solve; the
// program moves it from 1 to 2 (this percentage change) unless the command file says
// otherwise.
inline constexpr const char* kHomotopyVariable = "d_f";
inline constexpr double kHomotopyShock = 100.0;

struct DemoExpectations {
  DataFile rorext;  // ADRE, RORG, NFIT, NRIT, HORZ, YRPL
  DataFile iter;    // ITNO
  DataFile extra;   // YEAR
};

struct DemoInputs {
  SetInfo sectors;  // SECT
  DataFile base;    // BASEDATA
  DataFile params;  // PARAMS
  DataFile lag;     // LAGDATA: BASEDATA as it was at the start of the previous period
  // Present for the forward-looking variant (docs/demo-model.md).
  std::optional<DemoExpectations> expectations;
};

// A balanced three-sector data set (AGR, MAN, SER) for the first year.
DemoInputs DemoStartData();

// The inputs of the next period: its BASEDATA is this period's updated BASEDATA, its
// LAGDATA this period's starting BASEDATA.
DemoInputs NextPeriodInputs(const DemoInputs& current, const std::vector<DataFile>& updated);

class DemoModel;
Result<std::unique_ptr<DemoModel>> MakeDemoModel(const DemoInputs& inputs);

// Output growth given, productivity found (the Base), and its swap (Rerun and Policy).
// For the forward-looking variant the Base also fixes the expectation instruments and the
// Policy swaps them for the outcomes the Base found.
Closure DemoBaseClosure(const LinearModel& model);
Closure DemoPolicyClosure(const LinearModel& model);

// Where a solve of the forward-looking variant stands in the iterations.
struct ExpectationsPosition {
  int iteration = 0;         // ITNO, the global iteration number
  int period = 0;            // YEAR, 1 for the first period
  int horizon = 0;           // HORZ
  int first_period = 0;      // YRPL
  int base_iterations = 0;   // NFIT
  int rerun_iterations = 0;  // NRIT
};

class DemoModel final : public LinearModel {
 public:
  const std::vector<VariableInfo>& Variables() const override { return vars_; }
  int ComponentCount() const override { return ncomp_; }
  int EquationCount() const override { return 11 * n_ + 6 + (re_ ? 5 * n_ : 0); }
  const Eigen::VectorXd& StartData() const override { return start_; }
  const std::vector<std::vector<int>>& UpdateTerms() const override { return updates_; }
  const std::vector<int>& DataFileOf() const override { return file_of_; }
  const std::vector<std::string>& UpdatedFileNames() const override { return file_names_; }
  void Assemble(const Eigen::VectorXd& data, Eigen::MatrixXd& a) const override;
  Eigen::VectorXd Levels(const Eigen::VectorXd& data) const override;
  std::vector<DataFile> UpdatedFiles(const Eigen::VectorXd& data) const override;
  std::vector<DataFile> OutputFiles(const Eigen::VectorXd& start,
                                    const Eigen::VectorXd& end) const override;

  int Sectors() const { return n_; }
  bool HasExpectations() const { return re_; }
  const ExpectationsPosition& Position() const { return pos_; }
  // The expected rates of return of this period and the next that the solve starts from
  // (before the homotopy moves them), by sector.
  const std::vector<double>& ExpectedNow() const { return g0_; }
  const std::vector<double>& ExpectedNext() const { return g1_; }

 private:
  friend Result<std::unique_ptr<DemoModel>> MakeDemoModel(const DemoInputs& inputs);
  DemoModel() = default;

  int n_ = 0;
  int ncomp_ = 0;
  SetInfo sectors_;
  std::vector<VariableInfo> vars_;
  Eigen::VectorXd start_;
  std::vector<std::vector<int>> updates_;
  std::vector<int> file_of_;
  std::vector<std::string> file_names_;
  std::vector<double> depr_, sigma_, ror_lag_;
  double epsilon_ = 0, omega_ = 1;

  // The forward-looking variant.
  bool re_ = false;
  ExpectationsPosition pos_;
  DemoExpectations re_files_;
  int rorg_periods_ = 0;
  std::vector<double> adre_, rorg_;
  std::vector<double> g0_, g1_;  // expectations for this period and the next
  std::vector<double> kappa_;    // log(g1/g0)/log 2: the move the homotopy carries
  bool static_ = false;          // no forward-looking expectations formed yet

  int ReFirst() const;  // flat index of d_f
  void AssembleExpectations(const Eigen::VectorXd& data, Eigen::MatrixXd& a) const;
  // Reads and checks the expectations files; `cols` are BASEDATA's columns.
  Status ReadExpectations(const DemoExpectations& files,
                          const std::vector<std::vector<double>>& cols);
};

}  // namespace yl::model
