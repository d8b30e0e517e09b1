#pragma once
// Accuracy of extrapolated results, judged by how many significant figures the
// extrapolation from all three solutions shares with the extrapolation from the last
// two, and the summary blocks written into the solve's log in the form that the
// accuracy-summary reader of the main program expects.

#include <array>
#include <string>
#include <vector>

namespace yl::model {

inline constexpr int kMaxFigures = 6;

// counts[f]: results judged accurate to f figures.
struct PlacesCounts {
  std::array<long, kMaxFigures + 1> counts{};
  long Total() const;
  long AtLeast(int figures) const;
  void Add(int figures) { ++counts[static_cast<std::size_t>(figures)]; }
};

// Significant figures (0..6) on which a and b agree: the largest f such that they differ
// by at most half a unit in the f-th significant figure of the larger. Equal values, and
// differences below 1e-12 of the larger or absolutely, count as 6.
int FiguresAgreeing(double a, double b);

// One summary: the variables, and the updated data per logical file.
struct AccuracyBlock {
  PlacesCounts variables;
  std::vector<PlacesCounts> data_files;  // per updated logical file
  PlacesCounts data_all;
  std::vector<int> variable_figures;  // per variable component; -1 for exogenous ones
  std::vector<int> data_figures;      // per flattened updated coefficient
};

// Percent of the results counted by `counts` accurate to at least `figures` figures
// (100 when there are none).
double PercentAccurate(const PlacesCounts& counts, int figures);

// Appends a summary block. `title` is a line shown before it; `overall` writes the
// overall-results form.
void WriteAccuracyBlock(std::vector<std::string>& log, const AccuracyBlock& block,
                        const std::vector<std::string>& updated_files, const std::string& title,
                        bool overall);

// The line that tells the reader that the block just written is replaced by a redo.
std::string NotSufficientLine(int subinterval, double percent_accurate, int required_percent,
                              int figures);

}  // namespace yl::model
