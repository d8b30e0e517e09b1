#include "jobs/job_logs.h"

#include <ctime>

#include "core/text_util.h"
#include "env/ini_file.h"
#include "platform/append_file.h"
#include "platform/files.h"
#include "platform/local_time.h"

namespace yl::jobs {

namespace {

std::string Format(TimePoint t, const char* fmt) {
  std::time_t tt = std::chrono::system_clock::to_time_t(t);
  std::tm lt = LocalTime(tt);
  char buf[64];
  std::strftime(buf, sizeof buf, fmt, &lt);
  return buf;
}

bool WriteAllToLog(const std::string& log_path, const std::string& text) {
  if (!FileExists(log_path)) return false;
  return AppendToExistingFile(log_path, text);
}

}  // namespace

std::string JobDescription(int run, const std::string& what) {
  return std::string(RunShortName(run)) + ": " + what;
}

std::string ErrorDescription(int run, const std::string& what, JobKind job, PartKind part) {
  std::string d = JobDescription(run, what);
  if (part != PartKind::kNone && job != JobKind::kSim) {
    d += " [" + std::string(PartName(part)) + " part of job " + std::string(JobName(job)) + "]";
  }
  return d;
}

std::string FormatDateTime(TimePoint t) { return Format(t, "%Y-%m-%d %H:%M:%S"); }
std::string FormatTime(TimePoint t) { return Format(t, "%H:%M:%S"); }

std::string ElapsedText(std::chrono::seconds elapsed) {
  long s = static_cast<long>(elapsed.count());
  if (s < 0) s = 0;
  const long hours = s / 3600, minutes = (s % 3600) / 60, seconds = s % 60;
  std::string text = "Total elapsed time is: ";
  if (hours > 0) text += std::to_string(hours) + " hours, ";
  if (hours > 0 || minutes > 0) text += std::to_string(minutes) + " minutes, ";
  return text + std::to_string(seconds) + " seconds";
}

bool AppendToLog(const std::string& log_path, const std::vector<std::string>& lines) {
  std::string text;
  for (const auto& l : lines) text += l + "\n";
  // Message texts break their lines with "\r\n"; our logs use "\n" throughout.
  std::erase(text, '\r');
  return WriteAllToLog(log_path, text);
}

bool AppendFileToLog(const std::string& log_path, const std::string& part_log) {
  auto text = ReadWholeFile(part_log);
  if (!text) return false;
  return WriteAllToLog(log_path, *text);
}

PartOutcome JudgePart(const std::string& report_file, const std::string& check_file) {
  if (!FileExists(report_file)) return PartOutcome::kFailure;
  auto ini = IniFile::Load(report_file);
  if (!ini || !SameText(Trim(ini->ReadString("Result", "Status", "")), "ok")) {
    return PartOutcome::kFailure;
  }
  return FileExists(check_file) ? PartOutcome::kSuccess : PartOutcome::kSuccessWithoutOutput;
}

std::string JobStatusOverview(const JobPlan* plan, const std::function<int(int)>& calendar_year) {
  if (!plan) return "[Nothing is running.]";
  std::vector<std::string> lines;
  for (int r = 1; r <= 3; ++r) {
    const RunPlan& p = plan->plan(r);
    if (!p.has_sims && !p.wants_ss) continue;
    lines.push_back(std::string(RunShortName(r)) + ":");
    if (p.has_sims) {
      lines.push_back("  Do simulations for years " +
                      std::to_string(calendar_year(p.first_sim_year)) + " to " +
                      std::to_string(calendar_year(p.last_sim_year)));
      if (p.last_sim_done < p.first_sim_year) {
        lines.push_back("  [No sims completed yet.]");
      } else {
        lines.push_back("  Last simulation done is that for " +
                        std::to_string(calendar_year(p.last_sim_done)) + " [period number " +
                        std::to_string(p.last_sim_done) + "]");
      }
    }
    if (p.wants_ss) {
      lines.push_back("  Do spreadsheets for years " +
                      std::to_string(calendar_year(p.first_ss_year)) + " to " +
                      std::to_string(calendar_year(p.last_ss_year)));
      bool deviations = r == kPolicy && plan->settings().DoDeviations;
      bool done = p.last_ss_job == (deviations ? JobKind::kDevSol : JobKind::kCumSol);
      lines.push_back(done ? "  [Done.]" : "  [Not yet done.]");
    }
  }
  std::string text;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (i) text += "\r\n";
    text += lines[i];
  }
  return text;
}

void OfferErrorLog(const std::string& log, Prompter& prompter,
                   const std::function<void(const std::string& log)>& show) {
  if (log.empty()) {
    prompter.Information("(Unfortunately cannot find an Error Log file for you to look at.)");
    return;
  }
  if (prompter.Information("Look at LOG file\r\n" + log +
                               "\r\nto find details of the error.\r\nDo you want to look at "
                               "it now?",
                           0, kYes | kNo) == kYes &&
      show) {
    show(log);
  }
}

}  // namespace yl::jobs
