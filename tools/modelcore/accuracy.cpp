#include "modelcore/accuracy.h"

#include <cmath>

#include "core/number_text.h"
#include "core/text_util.h"

namespace yl::model {

long PlacesCounts::Total() const {
  long t = 0;
  for (long c : counts) t += c;
  return t;
}

long PlacesCounts::AtLeast(int figures) const {
  long t = 0;
  for (int f = figures < 0 ? 0 : figures; f <= kMaxFigures; ++f)
    t += counts[static_cast<std::size_t>(f)];
  return t;
}

int FiguresAgreeing(double a, double b) {
  const double diff = std::abs(a - b);
  const double scale = std::max(std::abs(a), std::abs(b));
  if (!std::isfinite(diff)) return 0;
  if (diff <= 1e-12 * scale || diff < 1e-12) return kMaxFigures;
  // Unit of the first significant figure of the larger value.
  const double unit = std::pow(10.0, std::floor(std::log10(scale)));
  int f = 0;
  while (f < kMaxFigures && diff <= 0.5 * unit * std::pow(10.0, -f)) ++f;
  return f;
}

double PercentAccurate(const PlacesCounts& counts, int figures) {
  const long total = counts.Total();
  if (total == 0) return 100.0;
  return 100.0 * static_cast<double>(counts.AtLeast(figures)) / static_cast<double>(total);
}

namespace {

void WriteCounts(std::vector<std::string>& log, const PlacesCounts& c) {
  // Every count line, zeros included: the reader takes the first line with the phrase as
  // the start of the block, so a block must never be empty.
  for (int f = kMaxFigures; f >= 0; --f)
    log.push_back(PadLeft(std::to_string(c.counts[static_cast<std::size_t>(f)]), 10) +
                  " results are judged accurate to " + std::to_string(f) + " figures.");
}

}  // namespace

void WriteAccuracyBlock(std::vector<std::string>& log, const AccuracyBlock& block,
                        const std::vector<std::string>& updated_files, const std::string& title,
                        bool overall) {
  log.push_back("");
  if (overall) log.push_back(" ACCURACY SUMMARY FOR OVERALL RESULTS");
  log.push_back(" " + title);
  log.push_back(overall ? " Below are for overall levels values of the endogenous variables."
                        : " Below are for levels values of the endogenous variables.");
  WriteCounts(log, block.variables);
  log.push_back("   (" + std::to_string(block.variables.Total()) +
                " endogenous variable components)");
  for (std::size_t f = 0; f < updated_files.size() && f < block.data_files.size(); ++f) {
    log.push_back("");
    log.push_back(" NEXT SUMMARY IS FOR UPDATED DATA FROM LOGICAL FILE " + updated_files[f]);
    WriteCounts(log, block.data_files[f]);
    log.push_back("   (" + std::to_string(block.data_files[f].Total()) + " updated values)");
  }
  if (updated_files.size() > 1) {
    log.push_back("");
    log.push_back(" NEXT SUMMARY IS FOR ALL UPDATED DATA");
    WriteCounts(log, block.data_all);
    log.push_back("   (" + std::to_string(block.data_all.Total()) + " updated values)");
  }
  log.push_back("");
}

std::string NotSufficientLine(int subinterval, double percent_accurate, int required_percent,
                              int figures) {
  const std::string pct = FormatReal(percent_accurate, RealFormat::Fixed(1));
  return " Accuracy for subinterval " + std::to_string(subinterval) +
         " not sufficient - accuracy was " + pct + " percent of results accurate to " +
         std::to_string(figures) + " figures, " + std::to_string(required_percent) +
         " percent required.";
}

}  // namespace yl::model
