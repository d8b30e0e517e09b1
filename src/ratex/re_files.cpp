#include "ratex/re_files.h"

#include <cmath>

#include "core/text_util.h"
#include "harfile/har_build.h"
#include "harfile/har_file.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "sim/sim_naming.h"
#include "sim/sim_runs.h"

namespace yl::ratex {

namespace {

std::string OriginalMissing(const std::string& path) {
  return "Original file \r\n" + path + "\r\ndoes not exist";
}

std::string NotAsExpected(const std::string& name) { return "Header " + name + " not as expected"; }

// A real array holding one value where the model reads a scalar.
bool IsSingleValue(const HarHeader& h) {
  return h.IsReal() && h.NDim >= 0 && h.sizes[0] == 1 && h.element_count >= 1 &&
         h.values.allocated();
}

// Finds a header that must be a single value and sets it.
Status SetSingle(HarFile& file, const std::string& name, const std::string& missing, float value) {
  HarHeader* h = file.Find(name);
  if (!h) return Fail(missing);
  if (!IsSingleValue(*h)) return Fail(NotAsExpected(name));
  h->values[0] = value;
  return Ok();
}

// "{key}{sim name}" cut to 6, the two-digit year before the run's first period, "_{letter}".
std::string CopyStem(const ReContext& c, int f, int run) {
  const TSimRecord& sim = *c.sim;
  const int first = RunFirstPeriod(run, c.policy_start);
  return (sim.DinFiles[f].Key + sim.SimNames[run]).substr(0, 6) +
         TwoDigitYear(sim.Years[first - 1]) + "_" + RunLetter(run);
}

std::string CreationTime(const ReContext& c) {
  return c.creation_time.empty() ? HarCreationTimeNow() : c.creation_time;
}

Status WriteAndCopy(const ReContext& c, HarFile& file, const std::string& working,
                    const std::optional<std::string>& copy) {
  if (auto w = WriteHarFile(working, c.program_name, CreationTime(c), file); !w) return w;
  if (copy) {
    if (auto s = CopyKeepingStamp(working, *copy, false); !s) return s;
  }
  return Ok();
}

}  // namespace

int FirstGlobalIteration(int run, const ReCounts& counts, bool two_run_mode) {
  CheckRun(run);
  if (run == kBase) return 1;
  if (run == kRerun) return counts.Base + 1;
  return two_run_mode ? counts.Base + 1 : counts.Base + counts.Rerun + 1;
}

int FindLogicalFile(const TSimRecord& sim, const std::string& name) {
  for (int f = 1; f <= sim.NumDinFiles && f <= kMaxLogicalFiles; ++f) {
    if (SameText(Trim(sim.DinFiles[f].Name), name)) return f;
  }
  return 0;
}

std::string InWorkingDir(const ReContext& c, const std::string& name) {
  return ResolveAgainst(c.sim->SimDir, name);
}

std::string LastYearUpdatedFile(const ReContext& c, int f, int run) {
  return InWorkingDir(c, UpdatedFileName(*c.sim, f, run, c.sim->NumYears, c.no_rerun));
}

int RunYears(const ReContext& c, int run) {
  return c.sim->NumYears - RunFirstPeriod(run, c.policy_start) + 1;
}

Result<ReFileSets> SetUpREFiles(const ReContext& c) {
  for (const char* name : {"ITER", "ROREXT", "EXTRA"}) {
    if (FindLogicalFile(*c.sim, name) == 0) {
      return Fail(std::string(name) +
                  " is not one of the logical file names.\r\nCannot do rational expectations.");
    }
  }
  const std::string dir = JoinPath(c.temp_dir, "CvnRE");
  if (!DirectoryExists(dir) && !ForceDirectories(dir)) {
    return Fail("Cannot create directory " + dir);
  }
  return REFileSetsOf(c);
}

ReFileSets REFileSetsOf(const ReContext& c) {
  const std::string dir = JoinPath(c.temp_dir, "CvnRE");
  ReFileSets sets;
  sets.working = {JoinPath(dir, "ROREXT.HAR"), JoinPath(dir, "ITER.HAR"),
                  JoinPath(dir, "EXTRA.HAR")};
  const int rorext = FindLogicalFile(*c.sim, "ROREXT");
  const int iter = FindLogicalFile(*c.sim, "ITER");
  const int extra = FindLogicalFile(*c.sim, "EXTRA");
  for (int r = kBase; r <= kPolicy; ++r) {
    auto copy = [&](int f) {
      return f == 0 ? std::string() : InWorkingDir(c, CopyStem(c, f, r) + "Iter1.har");
    };
    sets.first_iteration[r] = {copy(rorext), copy(iter), copy(extra)};
  }
  return sets;
}

std::string RerunIterationCopy(const ReContext& c, int n) {
  const int rorext = FindLogicalFile(*c.sim, "ROREXT");
  return InWorkingDir(c, CopyStem(c, rorext, kRerun) + "Iter" + std::to_string(n) + ".har");
}

Result<int> ReadIterationsDone(const ReContext& c, int run) {
  const std::string path = LastYearUpdatedFile(c, FindLogicalFile(*c.sim, "ITER"), run);
  if (!FileExists(path)) return Fail("Original file\r\n" + path + "\r\ndoes not exist.");
  auto file = ReadHeadersFromHarFile(path, {"ITNO"});
  if (!file) return Fail(file.error());
  const HarHeader* h = file->Find("ITNO");
  if (!h) return Fail("Header ITNO not found on ITER file");
  if (!IsSingleValue(*h)) return Fail(NotAsExpected("ITNO"));
  return static_cast<int>(std::lround(static_cast<double>(h->values[0]) - 1.0));
}

Status IterationCheck(const ReContext& c, int first_run) {
  for (int i = kBase; i < first_run; ++i) {
    if (i == kRerun && c.no_rerun) continue;
    auto done = ReadIterationsDone(c, i);
    if (!done) return Fail(done.error());
    const std::string n = std::to_string(*done);
    const std::string run = RunWord(i);
    if (i == kBase && *done != c.counts.Base) {
      return Fail(
          "Serious problem. When you completed the " + run + ",\r\n you had done a total of " + n +
          " iterations.\r\nHowever the Sim Overview page says " + std::to_string(c.counts.Base) +
          " iterations for the Base.\r\nPlease check. Either adjust the number on the Sim "
          "Overview page\r\n or else you may need to run the Base again.");
    }
    if (i == kRerun && *done != c.counts.Base + c.counts.Rerun) {
      return Fail("Serious problem. When you completed the " + run +
                  ",\r\n you had done a total of " + n +
                  " iterations (Base and Rerun).\r\nHowever the numbers on the Sim Overview "
                  "page imply a total of " +
                  std::to_string(c.counts.Base + c.counts.Rerun) +
                  ".\r\nPlease check. Either adjust the numbers on the Sim Overview page\r\n or "
                  "else you may need to start this run earlier (at the Base or the Rerun).");
    }
  }
  return Ok();
}

Status PrepareREFiles(const ReContext& c, const ReFileSets& sets, const IterationStates& states,
                      int run, std::optional<RorgHistory>& history) {
  CheckRun(run);
  const TSimRecord& sim = *c.sim;
  const IterationState& st = states[run];
  const bool afresh = st.start == 1;
  const int rorext = FindLogicalFile(sim, "ROREXT");
  const int iter = FindLogicalFile(sim, "ITER");
  const int extra = FindLogicalFile(sim, "EXTRA");
  if (rorext == 0 || iter == 0 || extra == 0) return Fail("ROREXT, ITER or EXTRA is missing");
  const int first = RunFirstPeriod(run, c.policy_start);

  // 1. Where the expectations come from.
  std::string source;
  if (!afresh) {
    source = LastYearUpdatedFile(c, rorext, run);
  } else if (run == kBase) {
    source = InWorkingDir(c, FindFirstYearFile(c.first_year, "ROREXT").value_or(""));
  } else if (run == kPolicy && !c.no_rerun && c.counts.Rerun > 1) {
    source = RerunIterationCopy(c, c.counts.Rerun);
  } else {
    source = InWorkingDir(
        c, ResolveParsedInputFile(sim, rorext, first, run, c.policy_start, c.first_year, c.no_rerun)
               .FileName);
  }
  if (!FileExists(source)) return Fail(OriginalMissing(source));

  // 2. ADRE gives the number of industries.
  auto file = ReadHarFile(source);
  if (!file) return Fail(file.error());
  const HarHeader* adre = file->Find("ADRE");
  if (!adre) return Fail("Header ADRE not found on ROREXT file");
  if (!adre->IsReal() || adre->NDim < 1) return Fail(NotAsExpected("ADRE"));
  const int ind = adre->sizes[0];
  history.reset();
  if (st.target > 2) history.emplace(RunYears(c, run), ind);

  // 3. A fresh Base starts without revisions.
  if (run == kBase && afresh) {
    HarHeader* rorg = file->Find("RORG");
    if (!rorg) return Fail("Header RORG not found on ROREXT file");
    if (!rorg->IsReal() || rorg->NDim < 2 || rorg->sizes[0] != ind || !rorg->values.allocated()) {
      return Fail(NotAsExpected("RORG"));
    }
    for (float& v : rorg->values.values()) v = 0.0f;
  }
  // 4.-7. The counts and horizon the model reads.
  if (run == kBase) {
    if (auto s = SetSingle(*file, "NFIT", "Header NFIT not found on ROREXT file",
                           static_cast<float>(c.counts.Base));
        !s) {
      return s;
    }
  }
  if (run != kBase && c.several_rerun_iterations) {
    if (auto s = SetSingle(*file, "NRIT",
                           "Header NRIT not found on ROREXT file.\r\nDoes your TAB file  really "
                           "allow more than one iteration on the Rerun?",
                           static_cast<float>(c.counts.Rerun));
        !s) {
      return s;
    }
  }
  if (run == kBase && afresh) {
    if (auto s = SetSingle(*file, "HORZ", "Header HORZ not found on ROREXT file",
                           static_cast<float>(sim.NumYears));
        !s) {
      return s;
    }
  }
  if (run == kBase || afresh) {
    if (auto s = SetSingle(*file, "YRPL", "Header YRPL not found on ROREXT file",
                           static_cast<float>(run == kBase ? 1 : c.policy_start));
        !s) {
      return s;
    }
  }
  // 8.
  auto copy = [&](const std::string& path) {
    return afresh ? std::optional<std::string>(path) : std::nullopt;
  };
  if (auto s = WriteAndCopy(c, *file, sets.working.Rorext, copy(sets.first_iteration[run].Rorext));
      !s) {
    return s;
  }

  // 9. The iteration counter.
  const std::string iter_source =
      InWorkingDir(c, FindFirstYearFile(c.first_year, "ITER").value_or(""));
  if (!FileExists(iter_source)) return Fail(OriginalMissing(iter_source));
  auto iter_file = ReadHarFile(iter_source);
  if (!iter_file) return Fail(iter_file.error());
  if (auto s =
          SetSingle(*iter_file, "ITNO", "Header ITNO not found on ITER file",
                    static_cast<float>(GlobalIteration(run, st.current, c.counts, c.no_rerun)));
      !s) {
    return s;
  }
  if (auto s = WriteAndCopy(c, *iter_file, sets.working.Iter, copy(sets.first_iteration[run].Iter));
      !s) {
    return s;
  }

  // 10. A run that begins at year 1 begins its EXTRA data there.
  if (first == 1) {
    const std::string extra_source = InWorkingDir(
        c, ResolveParsedInputFile(sim, extra, 1, run, c.policy_start, c.first_year, c.no_rerun)
               .FileName);
    if (!FileExists(extra_source)) return Fail(OriginalMissing(extra_source));
    auto extra_file = ReadHarFile(extra_source);
    if (!extra_file) return Fail(extra_file.error());
    if (auto s = SetSingle(*extra_file, "YEAR", "Header YEAR not found on EXTRA file", 1.0f); !s) {
      return s;
    }
    // The copy lets the results page show the EXTRA the first iteration read.
    if (auto s =
            WriteAndCopy(c, *extra_file, sets.working.Extra, copy(sets.first_iteration[run].Extra));
        !s) {
      return s;
    }
  }
  return Ok();
}

std::string REFileToShow(const ReContext& c, const ReFileSets& sets, int run,
                         const std::string& logical, bool as_used, bool working) {
  const TSimRecord& sim = *c.sim;
  const int f = FindLogicalFile(sim, logical);
  if (f == 0) return "";
  if (!as_used) return LastYearUpdatedFile(c, f, run);
  const bool is_extra = SameText(logical, "EXTRA");
  if (is_extra && run != kBase && c.policy_start != 1) {
    return InWorkingDir(c, ResolveParsedInputFile(sim, f, c.policy_start, run, c.policy_start,
                                                  c.first_year, c.no_rerun)
                               .FileName);
  }
  const TCorvanREFileNames& set = working ? sets.working : sets.first_iteration[run];
  if (SameText(logical, "ROREXT")) return set.Rorext;
  if (SameText(logical, "ITER")) return set.Iter;
  return set.Extra;
}

}  // namespace yl::ratex
