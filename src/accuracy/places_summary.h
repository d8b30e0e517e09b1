#pragma once
// One block of a solve's accuracy summary: how many results are judged accurate to 0..6
// significant figures, their average and the rating 0 (least accurate) to 10 (most).

#include <array>

#include "accuracy/log_lines.h"
#include "core/status.h"

namespace yl {

inline constexpr int kMaxAccFigures = 6;
inline constexpr int kMaxAccRating = 10;

struct PlacesSummary {
  std::array<int, kMaxAccFigures + 1> counts{};  // counts[f]: results accurate to f figures
  float ten_a = 0;                               // 10 x the average number of figures
  int rating = 0;                                // 0..10
  bool operator==(const PlacesSummary&) const = default;
};

// Rounds to the nearest integer, halves to the even one, whatever the floating-point
// environment says.
long RoundHalfEven(double x);

// The rating of a summary whose average number of figures is ten_a / 10.
int AccuracyRating(float ten_a);

// The summary of these counts: 10 x A (0 when there are no results) and its rating.
PlacesSummary SummariseCounts(const std::array<int, kMaxAccFigures + 1>& counts);

// Reads the next block of count lines ("  35 results are judged accurate to 6 figures.").
// Lines before the first count line are skipped; the first line after the block that is
// not a count line is consumed too. Errors end in "[GetPlacesSumry]".
Result<PlacesSummary> GetPlacesSumry(LogLines& log);

}  // namespace yl
