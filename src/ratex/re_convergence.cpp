#include "ratex/re_convergence.h"

#include <algorithm>
#include <cmath>

#include "core/number_text.h"
#include "core/text_util.h"
#include "harfile/har_build.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/text_file.h"
#include "sim/sim_naming.h"
#include "sim/sim_runs.h"

namespace yl::ratex {

namespace {

constexpr int kMaxVariableDims = 5;

std::string CreationTime(const ReContext& c) {
  return c.creation_time.empty() ? HarCreationTimeNow() : c.creation_time;
}

std::string SolutionPath(const ReContext& c, int run, int year) {
  return InWorkingDir(c, SolutionFileName(*c.sim, run, year, c.no_rerun));
}

std::vector<std::string> HeaderNames(const std::vector<VariableEntry>& variables) {
  std::vector<std::string> names;
  names.reserve(variables.size());
  for (const VariableEntry& v : variables) names.push_back(v.header);
  return names;
}

TSetRec MakeSet(const std::string& name, std::vector<std::string> elements) {
  TSetRec s;
  s.size = static_cast<std::int32_t>(elements.size());
  s.name = name;
  s.description = "Set " + name;
  s.elements_known = true;
  s.elements = std::move(elements);
  return s;
}

Status CopyOrFail(const std::string& from, const std::string& to) {
  if (!FileExists(from)) return Fail("Original file \r\n" + from + "\r\ndoes not exist");
  return CopyKeepingStamp(from, to, false);
}

// The conversion header with ITERATIONS of the new size, old values kept where they were.
Result<HarHeader> WithIterations(const HarHeader& old, const std::vector<std::string>& elements) {
  auto made = CloneHeader(old);
  if (!made) return made;
  HarHeader& h = *made;
  const std::int64_t old_m = old.sizes[0];
  const std::int64_t new_m = static_cast<std::int64_t>(elements.size());
  const std::int64_t rest = old_m > 0 ? old.element_count / old_m : 0;
  h.sizes[0] = static_cast<std::int32_t>(new_m);
  h.values.Reset();
  if (auto a = h.values.Allocate(new_m * rest); !a) return Fail(a.error());
  for (std::int64_t k = 0; k < rest; ++k) {
    for (std::int64_t i = 0; i < std::min(old_m, new_m); ++i) {
      h.values[i + new_m * k] = old.values[i + old_m * k];
    }
  }
  if (auto s = SetDimensionSet(h, 0, "ITERATIONS", elements); !s) return Fail(s.error());
  return made;
}

// A solution header whose dimensions are not all named (a scalar is an unlabelled array of
// one) with each unnamed one given a set of unknown elements, so dimensions can be added.
Result<HarHeader> Labelled(const HarHeader& h) {
  auto copy = CloneHeader(h);
  if (!copy) return copy;
  for (int d = 0; d < copy->NDim; ++d) {
    if (!Trim(copy->sets.StName[static_cast<std::size_t>(d)]).empty()) continue;
    const std::string name = "Unk" + std::to_string(copy->sizes[static_cast<std::size_t>(d)]);
    if (auto s = SetDimensionSet(*copy, d, name, {}); !s) return Fail(s.error());
  }
  return copy;
}

}  // namespace

Result<std::vector<VariableEntry>> BuildVariableList(const std::string& sol_path,
                                                     const std::string& map_path) {
  if (!FileExists(sol_path)) return Fail("File " + sol_path + " does not exist");
  if (!FileExists(map_path)) return Fail("File " + map_path + " does not exist");
  auto headers = ListHarHeaders(sol_path);
  if (!headers) return Fail(headers.error());
  auto lines = ReadTextLines(map_path);
  if (!lines) return Fail(lines.error());
  std::vector<VariableEntry> list;
  for (const std::string& raw : *lines) {
    const std::string line = Trim(raw);
    if (line.empty()) continue;
    const HarHeaderInfo* found = nullptr;
    for (const HarHeaderInfo& h : *headers) {
      if (StartsWithNoCase(h.header.description, line + " ")) {
        found = &h;
        break;
      }
    }
    if (!found) {
      return Fail("Rational Expectations: Results are not available for variable " + line +
                  "\r\nPlease modify file " + map_path);
    }
    list.push_back({line, TrimRight(found->header.name)});
  }
  return list;
}

std::vector<std::string> BuildReportList(const std::string& work_file, int target) {
  std::vector<std::string> list;
  if (!FileExists(work_file)) {
    for (int n = 1; n <= target; ++n) list.push_back(std::to_string(n));
    return list;
  }
  int largest = 0;
  if (auto lines = ReadTextLines(work_file)) {
    for (const std::string& raw : *lines) {
      const std::string line = Trim(raw);
      const std::optional<int> n = ParseInt(line);
      if (!n || *n <= 0) continue;
      largest = std::max(largest, *n);
      if (*n <= target) list.push_back(line);
    }
  }
  for (int n = largest + 1; n <= target; ++n) list.push_back(std::to_string(n));
  return list;
}

Result<ConvergenceFile> StartConvergenceFile(const ReContext& c, const IterationStates& states,
                                             int run, std::vector<VariableEntry> variables,
                                             std::vector<std::string> report_list,
                                             Notices& notices) {
  const TSimRecord& sim = *c.sim;
  const IterationState& st = states[run];
  const IterationCounts counts{c.counts.Base, c.counts.Rerun};
  const int first_global = FirstGlobalIteration(run, c.counts, c.no_rerun);
  ConvergenceFile conv;
  conv.path = InWorkingDir(c, IterationFileName(sim, run, st.target, counts, c.no_rerun));

  // 1.
  std::string previous;
  if (st.current > 1) {
    previous = InWorkingDir(c, IterationFileName(sim, run, st.current - 1, counts, c.no_rerun));
    if (!FileExists(previous)) {
      notices.push_back(InformationMessage(
          "Convergence information HAR file from end of iteration number " +
              std::to_string(st.current - 1) +
              " does not exist.\r\nCan only put information for new iterations on this time.",
          kHelpRationalExpectations));
      previous.clear();
    }
  }
  // 2.
  std::vector<std::string> years;
  for (int k = RunFirstPeriod(run, c.policy_start); k <= sim.NumYears; ++k) {
    years.push_back(std::to_string(sim.Years[k]));
  }
  std::vector<std::string> iterations;
  for (const std::string& entry : report_list) {
    const std::optional<int> n = ParseInt(entry);
    if (!n || *n <= 0) {
      return Fail("Internal error. Problem converting CorvanREReportIterations to integer");
    }
    iterations.push_back("It" + std::to_string(first_global + *n - 1));
  }
  auto made = NewHarFile(c.program_name, CreationTime(c), false);
  if (!made) return Fail(made.error());
  conv.file = std::move(*made);

  if (!previous.empty()) {
    // 3.
    auto old = ReadHarFile(previous);
    if (!old) return Fail(old.error());
    for (const HarHeader& h : old->headers) {
      if (h.type != "RE") continue;
      auto grown = WithIterations(h, iterations);
      if (!grown) return Fail(grown.error());
      if (auto s = AddHeaderNil(conv.file, std::move(*grown)); !s) return Fail(s.error());
    }
  } else {
    // 4.
    const std::string sol = SolutionPath(c, run, RunFirstPeriod(run, c.policy_start));
    auto solution = ReadHeadersFromHarFile(sol, HeaderNames(variables));
    if (!solution) return Fail(solution.error());
    long position = 0;
    for (const VariableEntry& v : variables) {
      ++position;
      const HarHeader* h = solution->Find(v.header);
      if (!h || !h->IsReal()) return Fail("Could not find header " + v.header + " on SOL file");
      if (h->NDim > kMaxVariableDims) {
        return Fail("Max dimension allowed is 5. Variable " + v.variable + " has dimension " +
                    std::to_string(h->NDim));
      }
      auto labelled = Labelled(*h);
      if (!labelled) return Fail(labelled.error());
      auto with_years = AddADim(*labelled, MakeSet("YEARS", years), true);
      if (!with_years) return Fail(with_years.error());
      auto with_iterations = AddADim(*with_years, MakeSet("ITERATIONS", iterations), true);
      if (!with_iterations) return Fail(with_iterations.error());
      HarHeader& out = *with_iterations;
      out.name = HeaderNameFromNumber(position);
      SetCoefficientName(out, v.variable);
      for (float& x : out.values.values()) x = 0.0f;
      if (auto s = AddHeaderNil(conv.file, std::move(out)); !s) return Fail(s.error());
    }
  }
  conv.variables = std::move(variables);
  conv.report_list = std::move(report_list);
  return conv;
}

Status EndOfIteration(const ReContext& c, const IterationStates& states, int run,
                      const KeepSettings& keep, ConvergenceFile* convergence,
                      RorgHistory* history) {
  const TSimRecord& sim = *c.sim;
  const IterationState& st = states[run];
  const int n = st.done;
  const std::string suffix = std::to_string(n);
  const int rorext = FindLogicalFile(sim, "ROREXT");
  const int first = RunFirstPeriod(run, c.policy_start);

  // 1.
  if (keep.rorext) {
    const std::string kept =
        InWorkingDir(c, KeptUpdatedFileName(sim, rorext, run, c.no_rerun) + suffix + ".har");
    if (auto s = CopyOrFail(LastYearUpdatedFile(c, rorext, run), kept); !s) return s;
  }
  // 2.
  if (keep.csv) {
    const PeriodRange whole{first, sim.NumYears};
    for (PartKind variant : {PartKind::kYonY, PartKind::kCum}) {
      const std::string csv =
          InWorkingDir(c, SpreadsheetFileName(sim, run, JobKind::kTallyr, variant, whole,
                                              c.policy_start, c.no_rerun));
      const std::string kept = InWorkingDir(
          c, KeptSpreadsheetName(sim, run, variant, c.policy_start, c.no_rerun) + suffix + ".csv");
      if (auto s = CopyOrFail(csv, kept); !s) return s;
    }
  }
  // 3.
  if (keep.har && convergence) {
    const auto& list = convergence->report_list;
    const auto at = std::find(list.begin(), list.end(), suffix);
    if (at != list.end()) {
      const std::int64_t p = at - list.begin();
      const std::vector<std::string> names = HeaderNames(convergence->variables);
      for (int y = first; y <= sim.NumYears; ++y) {
        auto solution = ReadHeadersFromHarFile(SolutionPath(c, run, y), names);
        if (!solution) return Fail(solution.error());
        long position = 0;
        for (const VariableEntry& v : convergence->variables) {
          ++position;
          const HarHeader* h = solution->Find(v.header);
          if (!h || !h->IsReal()) return Fail("Could not find header " + v.header + " on SOL file");
          if (h->NDim > 2) return Fail("Cannot report variables of dimension 3 or more");
          HarHeader* out = convergence->file.Find(HeaderNameFromNumber(position));
          const std::int64_t m = out ? out->sizes[0] : 0;
          const std::int64_t years = out ? out->sizes[1] : 0;
          // A variable that changed its size since the file was started would be written
          // past its header.
          if (!out || m * years * h->element_count != out->element_count || y - first >= years) {
            return Fail("Header " + HeaderNameFromNumber(position) +
                        " of the convergence file does not fit variable " + v.variable);
          }
          for (std::int64_t k = 0; k < h->element_count; ++k) {
            out->values[p + m * ((y - first) + years * k)] = h->values[k];
          }
        }
      }
      if (auto s =
              WriteHarFile(convergence->path, c.program_name, CreationTime(c), convergence->file);
          !s) {
        return s;
      }
    }
  }
  // 4.
  if (history) {
    const int slot = n - st.target + 3;
    if (slot >= 1 && slot <= 3) {
      auto file = ReadHeadersFromHarFile(LastYearUpdatedFile(c, rorext, run), {"RORG"});
      if (!file) return Fail(file.error());
      const HarHeader* rorg = file->Find("RORG");
      if (!rorg)
        return Fail("Could not find header \"RORG\" on ROREXT file at end of this iteration");
      if (!rorg->IsReal() || rorg->NDim < 2 || rorg->sizes[0] < history->ind ||
          rorg->sizes[1] < sim.NumYears || history->years != sim.NumYears - first + 1) {
        return Fail("Header RORG not as expected");
      }
      for (int y = first; y <= sim.NumYears; ++y) {
        for (int j = 1; j <= history->ind; ++j) {
          history->at(slot, y - first + 1, j) =
              rorg->values[(j - 1) + static_cast<std::int64_t>(rorg->sizes[0]) * (y - 1)];
        }
      }
    }
  }
  return Ok();
}

ConvergenceStats ComputeConvergence(const RorgHistory& h) {
  constexpr double kTiny = 0.00001;
  ConvergenceStats s;
  s.pairs = h.years * h.ind;
  for (int y = 1; y <= h.years; ++y) {
    for (int j = 1; j <= h.ind; ++j) {
      const double x1 = h.at(1, y, j);
      const double x2 = h.at(2, y, j);
      const double x3 = h.at(3, y, j);
      const double d = std::fabs(x3 - x2);
      const double d_before = std::fabs(x2 - x1);
      s.largest = std::max(s.largest, d);
      if (d > 0.001) ++s.above_1e3;
      if (d > 0.0005) ++s.above_5e4;
      if (d > 0.0001) ++s.above_1e4;
      const bool both_tiny = d <= kTiny && d_before <= kTiny;
      if (!(d < d_before || both_tiny)) ++s.not_converging;
      const bool monotonic = (x1 <= x2 && x2 <= x3) || (x1 >= x2 && x2 >= x3) || both_tiny;
      if (!monotonic) ++s.not_monotonic;
    }
  }
  return s;
}

std::string FormatLargestDifference(double value) {
  const std::string text = FormatReal(std::fabs(value), RealFormat::Exponent(14));
  const std::size_t e = text.find('E');
  std::string mantissa = text.substr(0, e);
  std::string exponent = e == std::string::npos ? "+0" : text.substr(e + 1);
  char sign = '+';
  if (!exponent.empty() && (exponent[0] == '+' || exponent[0] == '-')) {
    sign = exponent[0];
    exponent.erase(0, 1);
  }
  return std::string(1, value < 0 ? '-' : ' ') + mantissa + "E" + sign + PadLeft(exponent, 4, '0');
}

std::vector<ConvergenceOverview> ConvergenceReport(
    const ReContext& c, const IterationStates& states,
    const std::array<std::optional<RorgHistory>, 4>& histories) {
  std::vector<ConvergenceOverview> out;
  for (int r = kBase; r <= kPolicy; ++r) {
    const IterationState& st = states[r];
    if (st.target <= 2 || !histories[r]) continue;
    const RorgHistory& h = *histories[r];
    const std::string name = RunWord(r);
    if (h.years != RunYears(c, r)) {
      out.push_back({"", ErrorMessage("Sorry, an internal error has occurred.\r\nProblem producing "
                                      "convergence report for " +
                                      name + ".\r\n Num year problem")});
      break;
    }
    const ConvergenceStats s = ComputeConvergence(h);
    std::string text = "Convergence report after " + std::to_string(st.target) +
                       " iterations of the " + name + ".";
    if (r == kPolicy) {
      if (auto base = ReadIterationsDone(c, kBase); base && *base == c.counts.Base) {
        text += "\r\n [There were " + std::to_string(*base) + " iterations of the Base.]";
      }
    }
    auto line = [&](const std::string& l) { text += "\r\n" + l; };
    line(
        "This report relates to the IND*YEAR data (this is usually the EROR_G data) at header "
        "\"RORG\" on the ROREXT file.");
    line("There are " + std::to_string(s.pairs) + " IND*YEAR pairs.");
    line("Number apparently not converging is " + std::to_string(s.not_converging) + ".");
    line("Number not monotonic over last 3 iterations is " + std::to_string(s.not_monotonic) + ".");
    line("Largest difference between last two iterations is " + FormatLargestDifference(s.largest) +
         " .");
    line("Number with difference between last two iterations greater than 0.001 is " +
         std::to_string(s.above_1e3) + ".");
    line("Number with difference between last two iterations greater than 0.0005 is " +
         std::to_string(s.above_5e4) + ".");
    line("Number with difference between last two iterations greater than 0.0001 is " +
         std::to_string(s.above_1e4) + ".");
    line("Check the Convergence HAR file etc to see more detail about convergence.");
    out.push_back({"Convergence Overview for " + name,
                   InformationMessage(std::move(text), kHelpRationalExpectations)});
  }
  return out;
}

}  // namespace yl::ratex
