#pragma once
// Accuracy-summary blocks laid out as the model program writes them into a solve's log,
// for fixtures of the accuracy-summary reader and of the commands built on it.

#include <array>
#include <optional>
#include <string>

namespace yl::testing {

using AccCounts = std::array<int, 7>;  // results accurate to 0..6 figures

inline std::string AccCountLines(const AccCounts& c) {
  std::string s;
  for (int f = 6; f >= 0; --f) {
    s += "  " + std::to_string(c[static_cast<std::size_t>(f)]) +
         " results are judged accurate to " + std::to_string(f) + " figures.\n";
  }
  return s + "   (components)\n";
}

inline std::string AccDataPart(const AccCounts& d, const std::string& mark) {
  return "\n " + mark + "\n" + AccCountLines(d) + "\n";
}

inline std::string AccFileData(const AccCounts& d) {
  return AccDataPart(d, "NEXT SUMMARY IS FOR UPDATED DATA FROM LOGICAL FILE BASEDATA");
}

// A subinterval's block; without data when d is empty.
inline std::string AccSubBlock(const AccCounts& v, std::optional<AccCounts> d) {
  return "\n Accuracy summary for subinterval\n Below are for levels values of the endogenous "
         "variables.\n" +
         AccCountLines(v) + (d ? AccFileData(*d) : "");
}

inline std::string AccOverallBlock(const AccCounts& v, std::optional<AccCounts> d) {
  return "\n ACCURACY SUMMARY FOR OVERALL RESULTS\n Accuracy summary for the whole solve\n"
         " Below are for overall levels values of the endogenous variables.\n" +
         AccCountLines(v) + (d ? AccFileData(*d) : "");
}

inline std::string AccRedoLine(int subinterval) {
  return " Accuracy for subinterval " + std::to_string(subinterval) +
         " not sufficient - accuracy was 50.0 percent of results accurate to 4 figures, 80 "
         "percent required.\n";
}

}  // namespace yl::testing
