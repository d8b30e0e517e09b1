#pragma once
// The demo model: a small multi-sector growth model (docs/demo-model.md). Capital at the
// start of the period is given; investment, allocated by expected rates of return that
// blend the current return with last period's, builds the end-of-period capital that
// the updated data carries into the next period.

#include <memory>
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

struct DemoInputs {
  SetInfo sectors;  // SECT
  DataFile base;    // BASEDATA
  DataFile params;  // PARAMS
  DataFile lag;     // LAGDATA: BASEDATA as it was at the start of the previous period
};

// A balanced three-sector data set (AGR, MAN, SER) for the first year.
DemoInputs DemoStartData();

// The inputs of the next period: its BASEDATA is this period's updated BASEDATA, its
// LAGDATA this period's starting BASEDATA.
DemoInputs NextPeriodInputs(const DemoInputs& current, const std::vector<DataFile>& updated);

class DemoModel;
Result<std::unique_ptr<DemoModel>> MakeDemoModel(const DemoInputs& inputs);

// Output growth given, productivity found (the Base), and its swap (Rerun and Policy).
Closure DemoBaseClosure(const LinearModel& model);
Closure DemoPolicyClosure(const LinearModel& model);

class DemoModel final : public LinearModel {
 public:
  const std::vector<VariableInfo>& Variables() const override { return vars_; }
  int ComponentCount() const override { return ncomp_; }
  int EquationCount() const override { return 11 * n_ + 6; }
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
};

}  // namespace yl::model
