#pragma once
// The user's preferences and the run settings that live outside the simulation record,
// and everything the options file restores between sessions.

#include <string>
#include <vector>

#include "cmf/sol_method.h"
#include "env/session_paths.h"
#include "model/model_state.h"

namespace yl {

enum class OutputsBeforeRun { kMove, kDelete, kNeither };

// Rational Expectations settings of the Sim Overview page.
struct ReSettings {
  bool DoRe = false;
  int BaseIterations = 30;
  int RerunIterations = 1;
  int PolicyIterations = 20;
  int PolicyStartYears = 0;  // "Policy run starts {n} years before first Policy shock"
  bool PrepareHar = true;
  bool PrepareRorext = true;
  bool PrepareCsv = true;
  bool StandardChecks = true;
  bool SeveralIterationsOnRerun = false;
  bool operator==(const ReSettings&) const = default;
};

struct Options {
  // Options group.
  bool PlayMusic = false;
  bool DeveloperMode = false;
  bool WarnTempDirName = true;
  std::string Editor;
  std::string Spreadsheet;
  std::string Tabulon;
  std::string Halvo;
  std::string Deepro;
  bool AbbreviatedSsJobs = false;
  bool YonYDifferencesSs = false;
  bool AccumulateSubtotals = false;
  bool NeverBatJob = false;
  bool ClearTempDirAtExit = true;
  bool VisibleLogFiles = false;
  bool SuppressScreenSaver = true;
  bool FewerMessages = false;
  bool CheckPrerequisites = true;
  bool HideRe = false;
  bool CompleteBaseFirst = false;
  bool AddToJobsLog = false;
  int ConcurrentSolves = 1;  // 1..3
  // "Just One Solve (no. 2)": every part in slot 2; not kept between sessions.
  bool JustOneSolveNo2 = false;
  OutputsBeforeRun Outputs = OutputsBeforeRun::kDelete;
  // Simulation group.
  bool NoRerun = false;
  bool SolFileShocks = false;
  bool ArithProbNotFatalRsl = false;
  std::string ResultsMapFile;
  ReSettings Re;
  bool operator==(const Options&) const = default;
};

// Everything besides the simulation record that the options file restores.
struct SessionSettings {
  Options options;
  int FileVersion = 0;  // "YearloomVersion" of the last file read
  ModelState model;
  TMinDinInfo min_din;
  std::vector<std::string> first_year_files;  // the Model/Data page's list
  SolMethodState methods;
  SessionPaths paths;  // work_dir, temp_dir, next_temp_dir, solvara_dir ("UseSolvaraDir")
  bool re_available = true;
  bool fewer_messages_effective = false;  // forced on in batch mode
  std::string sim_details_file;           // the Sim Details last loaded or saved; "" for none
  std::vector<std::string> recent_files;  // the File menu's, most recent first
  // Only a program that read the list rewrites it; others keep what the file holds.
  bool recent_files_read = false;
};

}  // namespace yl
