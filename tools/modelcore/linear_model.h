#pragma once
// What the solver needs of a model written as levels equations linearised in percentage
// changes: the coefficient matrix at the current data, and how each updated coefficient
// moves with the variables. Every variable is a percentage-change variable; every
// updated coefficient follows a product update (its percentage change is the sum of the
// percentage changes of some variables), so zero values stay zero.

#include <Eigen/Dense>
#include <string>
#include <vector>

#include "modelcore/model_types.h"

namespace yl::model {

class LinearModel {
 public:
  virtual ~LinearModel() = default;

  virtual const std::vector<VariableInfo>& Variables() const = 0;
  virtual int ComponentCount() const = 0;
  virtual int EquationCount() const = 0;

  // The updated coefficients at the start of the period, flattened.
  virtual const Eigen::VectorXd& StartData() const = 0;
  // For each flattened coefficient, the variable components whose percentage changes add
  // up to its percentage change.
  virtual const std::vector<std::vector<int>>& UpdateTerms() const = 0;
  // Logical file (index into UpdatedFileNames) of each flattened coefficient.
  virtual const std::vector<int>& DataFileOf() const = 0;
  virtual const std::vector<std::string>& UpdatedFileNames() const = 0;

  // Rows are equations, columns variable components; `a` is EquationCount() by
  // ComponentCount() and is overwritten.
  virtual void Assemble(const Eigen::VectorXd& data, Eigen::MatrixXd& a) const = 0;

  // Levels of every variable component implied by `data` (start-of-period units).
  virtual Eigen::VectorXd Levels(const Eigen::VectorXd& data) const = 0;

  // The updated data files as written after the period (end-of-period formulas applied).
  virtual std::vector<DataFile> UpdatedFiles(const Eigen::VectorXd& data) const = 0;
  // Output-only files of the period, from the start and end data.
  virtual std::vector<DataFile> OutputFiles(const Eigen::VectorXd& start,
                                            const Eigen::VectorXd& end) const = 0;
};

}  // namespace yl::model
