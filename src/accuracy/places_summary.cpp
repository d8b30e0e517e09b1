#include "accuracy/places_summary.h"

#include <cmath>
#include <string>
#include <string_view>

#include "core/text_util.h"

namespace yl {

namespace {

constexpr std::string_view kPhrase = "results are judged accurate to";
constexpr std::string_view kFigures = "figures";

std::string WithoutBlanks(std::string_view s) {
  std::string out;
  for (char c : s) {
    if (c != ' ' && c != '\t') out += c;
  }
  return out;
}

// A hostile log may have a line of any length; the message shows enough to find it.
std::string Quoted(const std::string& line) {
  constexpr std::size_t kShown = 100;
  std::string t = Trim(line);
  if (t.size() > kShown) t = t.substr(0, kShown) + "...";
  return "\"" + t + "\"";
}

std::unexpected<std::string> BadLine(const std::string& what, const std::string& line) {
  return Fail(what + " in line " + Quoted(line) + "[GetPlacesSumry]");
}

std::unexpected<std::string> EndOfFile() { return Fail("Unexpected end-of-file[GetPlacesSumry]"); }

// Stores one count line into counts.
Status ReadCountLine(const std::string& line, std::size_t phrase_at,
                     std::array<int, kMaxAccFigures + 1>& counts) {
  const std::string_view after = std::string_view(line).substr(phrase_at + kPhrase.size());
  const std::size_t figures_at = after.find(kFigures);
  // The number of figures needs room before the word.
  if (figures_at == std::string_view::npos || figures_at < 2) {
    return BadLine("No number of figures", line);
  }
  const auto count = ParseInt(WithoutBlanks(std::string_view(line).substr(0, phrase_at)));
  if (!count) return BadLine("Count is not an integer", line);
  if (*count < 0) return BadLine("Negative count", line);
  const auto figures = ParseInt(WithoutBlanks(after.substr(0, figures_at)));
  if (!figures) return BadLine("Number of figures is not an integer", line);
  if (*figures < 0 || *figures > kMaxAccFigures) {
    return BadLine("Number of figures is not 0 to " + std::to_string(kMaxAccFigures), line);
  }
  counts[static_cast<std::size_t>(*figures)] = *count;
  return Ok();
}

}  // namespace

long RoundHalfEven(double x) {
  const double lower = std::floor(x);
  const double diff = x - lower;
  long r = static_cast<long>(lower);
  if (diff > 0.5 || (diff == 0.5 && r % 2 != 0)) ++r;
  return r;
}

int AccuracyRating(float ten_a) {
  // The least t of each rating 1..10.
  static constexpr std::array<long, kMaxAccRating> kFrom{9, 17, 25, 33, 40, 46, 51, 55, 58, 60};
  const long t = RoundHalfEven(ten_a);
  int rating = 0;
  while (rating < kMaxAccRating && t >= kFrom[static_cast<std::size_t>(rating)]) ++rating;
  return rating;
}

PlacesSummary SummariseCounts(const std::array<int, kMaxAccFigures + 1>& counts) {
  PlacesSummary s;
  s.counts = counts;
  double total = 0, weighted = 0;
  for (int f = 0; f <= kMaxAccFigures; ++f) {
    total += counts[static_cast<std::size_t>(f)];
    weighted += static_cast<double>(f) * counts[static_cast<std::size_t>(f)];
  }
  s.ten_a = total > 0 ? static_cast<float>(10.0 * weighted / total) : 0.0f;
  s.rating = AccuracyRating(s.ten_a);
  return s;
}

Result<PlacesSummary> GetPlacesSumry(LogLines& log) {
  std::string line;
  std::size_t at = std::string::npos;
  while (at == std::string::npos) {
    if (!log.Next(line)) return EndOfFile();
    at = line.find(kPhrase);
  }
  std::array<int, kMaxAccFigures + 1> counts{};
  while (at != std::string::npos) {
    if (auto s = ReadCountLine(line, at, counts); !s) return Fail(s.error());
    // A block must be closed by a line of its own: a log cut off here was cut short.
    if (!log.Next(line)) return EndOfFile();
    at = line.find(kPhrase);
  }
  return SummariseCounts(counts);
}

}  // namespace yl
