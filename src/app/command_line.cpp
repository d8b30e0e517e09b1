#include "app/command_line.h"

#include <cstring>
#include <iostream>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include <CLI/CLI.hpp>

#include "app/accuracy_mode.h"
#include "app/archive_mode.h"
#include "app/batch_mode.h"
#include "app/check_mode.h"
#include "app/report_mode.h"
#include "app/version.h"
#include "core/clock.h"
#include "env/environment.h"
#include "platform/process.h"

namespace yl {

void PrintUsage(std::ostream& out) {
  out << "Usage: yearloom                (opens the window; needs a display)\n"
         "       yearloom base|rerun|policy|base+rerun|rerun+policy|all "
         "[all|ss|YEAR1-YEAR2] [SIMDETAILS]\n"
         "Runs one task of the simulation set up in SIMDETAILS (a \".ds1\" file; a relative\n"
         "name is taken from the current directory), or of the last session, unattended.\n"
         "  YEARS: all (the default), ss (spreadsheet jobs only), or the simulations of\n"
         "         the calendar years YEAR1 to YEAR2.\n"
         "Outcomes are added to BatchJobs.log in the keep directory. The exit status is 0\n"
         "only when the whole job finished successfully.\n"
         "  yearloom --version   prints the version\n"
         "\n"
         "Checks of the run records (they change no file; exit status 0: nothing left to do,\n"
         "1: something is, 2: an error):\n"
         "  yearloom where-to-start [--sequence-only] [SIMDETAILS]\n"
         "  yearloom results-ok [--as-created] [--include=LIST] [SIMDETAILS]\n"
         "  (yearloom where-to-start --help, yearloom results-ok --help)\n"
         "\n"
         "The accuracy rating of every solve, one row per run and one column per year\n"
         "(exit status 0: shown, 2: an error):\n"
         "  yearloom accuracy [SIMDETAILS]   (yearloom accuracy --help)\n"
         "\n"
         "Reports of the simulation, written to FILE or to the default report file in the\n"
         "working directory; the report's path is printed (exit status 0: written, 2: an\n"
         "error):\n"
         "  yearloom report details|ingredients|when-run [SIMDETAILS] [-o FILE]\n"
         "  yearloom report compare OTHER.ds1 [SIMDETAILS] [-o FILE]   (yearloom report --help)\n"
         "\n"
         "Archives of a simulation's ingredients and results (exit status 0: done, 2: an error):\n"
         "  yearloom archive save-ingredients [--except-model] ARCHIVE [SIMDETAILS]\n"
         "  yearloom archive save-results ARCHIVE [SIMDETAILS]\n"
         "  yearloom archive list ARCHIVE\n"
         "  yearloom archive restore ARCHIVE DIR   (yearloom archive --help)\n";
}

namespace {

// Parses the words of a command-line command (params[0] is the command itself). An exit
// status when parsing ended the run: 0 after --help, error_status after a mistake.
std::optional<int> ParseCommand(CLI::App& app, const std::vector<std::string>& params,
                                int error_status) {
  std::vector<std::string> args(params.rbegin(), params.rend());
  try {
    app.parse(args);
  } catch (const CLI::ParseError& e) {
    return app.exit(e) == 0 ? 0 : error_status;
  }
  return std::nullopt;
}

// Reports to the console, paths from the directory the program was started in.
CheckEnvironment ConsoleEnvironment() {
  CheckEnvironment env;
  env.current_dir = ProcessCurrentDirectory();
  env.out = &std::cout;
  env.err = &std::cerr;
  return env;
}

// The checks' own options, parsed with their help.
int RunCheck(const std::vector<std::string>& params) {
  CLI::App app{"Checks the run records of a simulation and reports; changes no file.", "yearloom"};
  app.require_subcommand(1, 1);
  yl::CheckRequest where;
  where.kind = yl::CheckRequest::Kind::kWhereToStart;
  CLI::App* w = app.add_subcommand(
      "where-to-start",
      "Where must each run start again? Exit 0: all complete; 1: something to run; 2: error.");
  w->add_flag("--sequence-only", where.sequence_only,
              "Judge by completion of the jobs in sequence only, not by whether their input "
              "files and settings are still as they were.");
  w->add_option("SIMDETAILS", where.sim_details,
                "The Sim Details (\".ds1\") file; default: the last session.");
  yl::CheckRequest ok;
  ok.kind = yl::CheckRequest::Kind::kResultsOk;
  CLI::App* r = app.add_subcommand(
      "results-ok", "Are the results still valid? Exit 0: all ok; 1: not all; 2: error.");
  r->add_flag("--as-created", ok.as_created,
              "Are the results still as when they were made (no sequence, no inputs)?");
  r->add_option("--include", ok.include,
                "Result kinds to check, comma-separated: solution, slc, updated, other, ss, "
                "dev, log, bot, sol, all. Default: all but log, bot and sol.");
  r->add_option("SIMDETAILS", ok.sim_details,
                "The Sim Details (\".ds1\") file; default: the last session.");
  if (auto ended = ParseCommand(app, params, yl::kCheckError)) return *ended;
  return yl::RunCheckMode(w->parsed() ? where : ok, ConsoleEnvironment());
}

int RunAccuracy(const std::vector<std::string>& params) {
  CLI::App app{"Prints the accuracy summaries of the solves; changes no file.", "yearloom"};
  app.require_subcommand(1, 1);
  AccuracyRequest request;
  CLI::App* a = app.add_subcommand(
      "accuracy",
      "Prints the accuracy rating of every solve (0 = least, 10 = most accurate), one row per "
      "run and one column per year: the overall summary of each solve, or its worst "
      "subinterval when the solves have no overall summary. \"-\" marks a solve without a "
      "summary, V and D the worst year of a run for variables and data. Exit 0: shown; 2: "
      "error.");
  a->add_option("SIMDETAILS", request.sim_details,
                "The Sim Details (\".ds1\") file; default: the last session.");
  if (auto ended = ParseCommand(app, params, kAccuracyError)) return *ended;
  return RunAccuracyMode(request, ConsoleEnvironment());
}

int RunReport(const std::vector<std::string>& params) {
  CLI::App app{"Writes a report of a simulation; changes no other file.", "yearloom"};
  app.require_subcommand(1, 1);
  CLI::App* report = app.add_subcommand(
      "report",
      "Writes a report of the simulation set up in SIMDETAILS (default: the last session) to "
      "FILE, or to the default report file (the Sim Details name with the report's extension) "
      "in the working directory, and prints its path. Exit 0: written; 2: error.");
  report->require_subcommand(1, 1);
  ReportRequest request;
  struct Kind {
    const char* name;
    reports::ReportKind kind;
    const char* help;
  };
  const Kind kinds[] = {
      {"details", reports::ReportKind::kSimDetails,
       "The closure/shock files of every period (\".dr0\")."},
      {"ingredients", reports::ReportKind::kIngredients,
       "Every file and setting the simulation is made from (\".dr1\")."},
      {"when-run", reports::ReportKind::kWhenRun,
       "When each simulation, spreadsheet job and BOT job was last completed, and which must be "
       "rerun (\".dr2\")."},
      {"compare", reports::ReportKind::kComparison,
       "The differences between the closure/shock files of SIMDETAILS (the first) and "
       "OTHER.ds1 (the second) (\".DRC\")."},
  };
  std::vector<std::pair<CLI::App*, reports::ReportKind>> subs;
  for (const Kind& k : kinds) {
    CLI::App* sub = report->add_subcommand(k.name, k.help);
    if (k.kind == reports::ReportKind::kComparison) {
      sub->add_option("OTHER", request.other, "The second simulation's Sim Details (\".ds1\").")
          ->required();
    }
    sub->add_option("SIMDETAILS", request.sim_details,
                    "The Sim Details (\".ds1\") file; default: the last session.");
    sub->add_option("-o,--output", request.output,
                    "The report file; default: the default report "
                    "file in the working directory.");
    subs.emplace_back(sub, k.kind);
  }
  if (auto ended = ParseCommand(app, params, kReportError)) return *ended;
  for (const auto& [sub, kind] : subs) {
    if (sub->parsed()) request.kind = kind;
  }
  return RunReportMode(request, ConsoleEnvironment());
}

int RunArchive(const std::vector<std::string>& params) {
  CLI::App app{"Saves, lists and restores the ZIP archives of a simulation.", "yearloom"};
  app.require_subcommand(1, 1);
  CLI::App* archive = app.add_subcommand(
      "archive",
      "Saves a simulation's ingredients or results in a ZIP archive, lists any ZIP archive, or "
      "restores an archive into a directory. Questions are answered the unattended way: no "
      "extra files, no file is overwritten, a missing closure or shock file stops the save. "
      "Exit 0: done; 2: error.");
  archive->require_subcommand(1, 1);
  ArchiveRequest request;
  using Action = ArchiveRequest::Action;
  CLI::App* save = archive->add_subcommand(
      "save-ingredients",
      "Saves the model, the first-year data, the closure and shock files, the TAB and STI "
      "files, the Sim Details and their history in ARCHIVE (a \".zip\" name). A TAB or STI "
      "file not beside the model is first extracted from its auxiliary files.");
  save->add_flag("--except-model", request.except_model,
                 "Leave out the model program and its auxiliary files.");
  save->add_option("ARCHIVE", request.archive, "The archive to write.")->required();
  save->add_option("SIMDETAILS", request.sim_details,
                   "The Sim Details (\".ds1\") file; default: the last session.");
  CLI::App* results = archive->add_subcommand(
      "save-results",
      "Saves every results file of the working directory, the run records and the history "
      "\"aahist\" in ARCHIVE.");
  results->add_option("ARCHIVE", request.archive, "The archive to write.")->required();
  results->add_option("SIMDETAILS", request.sim_details,
                      "The Sim Details (\".ds1\") file; default: the last session.");
  CLI::App* list = archive->add_subcommand("list", "Lists the entries of any ZIP archive.");
  list->add_option("ARCHIVE", request.archive, "The archive to list.")->required();
  CLI::App* restore = archive->add_subcommand(
      "restore",
      "Restores an ingredients, closure/shocks or results archive into DIR, which must be "
      "empty or new. Ingredients get a Sim Details file in DIR naming the restored files.");
  restore->add_option("ARCHIVE", request.archive, "The archive to restore.")->required();
  restore->add_option("DIR", request.dir, "The directory to restore into.")->required();
  if (auto ended = ParseCommand(app, params, kArchiveError)) return *ended;
  request.action = save->parsed()      ? Action::kSaveIngredients
                   : results->parsed() ? Action::kSaveResults
                   : list->parsed()    ? Action::kList
                                       : Action::kRestore;
  return RunArchiveMode(request, ConsoleEnvironment());
}

}  // namespace

int RunCommandLine(const std::vector<std::string>& params) {
  if (!params.empty() && (params[0] == "--version" || params[0] == "-v")) {
    std::cout << yl::VersionText() << "\n";
    return 0;
  }
  if (params.empty() || params[0] == "--help" || params[0] == "-h") {
    std::cout << yl::VersionText() << "\n";
    PrintUsage(std::cout);
    return params.empty() ? kUsageExit : 0;
  }
  if (params[0] == "where-to-start" || params[0] == "results-ok") return RunCheck(params);
  if (params[0] == "accuracy") return RunAccuracy(params);
  if (params[0] == "report") return RunReport(params);
  if (params[0] == "archive") return RunArchive(params);
  yl::PosixProcessRunner runner;
  yl::SystemClock clock;
  yl::BatchEnvironment env;
  env.program_dir = yl::ProgramDirectory();
  env.current_dir = yl::ProcessCurrentDirectory();
  env.runner = &runner;
  env.clock = &clock;
  env.out = &std::cout;
  unsigned cpus = std::thread::hardware_concurrency();
  env.processors = cpus > 0 ? static_cast<int>(cpus) : 1;
  return yl::RunBatchMode(params, env);
}

}  // namespace yl
