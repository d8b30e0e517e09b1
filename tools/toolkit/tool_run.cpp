#include "toolkit/tool_run.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <iostream>
#include <sstream>
#include <thread>

#include "core/text_util.h"
#include "platform/files.h"
#include "platform/paths.h"

namespace yl::tool {

namespace {

FaultMode ModeFromWord(const std::string& w) {
  if (w == "no-report") return FaultMode::kNoReport;
  if (w == "status-error") return FaultMode::kStatusError;
  if (w == "no-check-file") return FaultMode::kNoCheckFile;
  if (w == "crash") return FaultMode::kCrash;
  if (w == "hang") return FaultMode::kHang;
  if (w == "slow") return FaultMode::kSlow;
  if (w == "crash-after-report") return FaultMode::kCrashAfterReport;
  if (w == "exit-after-report") return FaultMode::kExitAfterReport;
  if (w == "truncate-outputs") return FaultMode::kTruncateOutputs;
  if (w == "silent") return FaultMode::kSilent;
  return FaultMode::kNone;
}

std::vector<std::string> Words(const std::string& s) {
  std::istringstream in(s);
  std::vector<std::string> w;
  std::string x;
  while (in >> x) w.push_back(x);
  return w;
}

std::FILE* AsFile(void* p) { return static_cast<std::FILE*>(p); }

// As a solve killed while writing would leave it.
void TruncateToHalf(const std::string& path) {
  std::error_code ec;
  const auto size = std::filesystem::file_size(path, ec);
  if (!ec && size > 0) std::filesystem::resize_file(path, size / 2, ec);
}

}  // namespace

Result<Fault> ParseFaultEntry(const std::string& entry, const std::string& program,
                              const std::string& sti_path, bool* applies) {
  *applies = false;
  auto w = Words(entry);
  if (w.empty()) return Fault{};
  if (w.size() < 2) return Fail("Fault entry \"" + entry + "\" needs PROGRAM and MODE");
  Fault f;
  f.mode = ModeFromWord(LowerCase(w[1]));
  if (f.mode == FaultMode::kNone) return Fail("Unknown fault mode \"" + w[1] + "\"");
  std::size_t next = 2;
  if (f.mode == FaultMode::kSlow) {
    if (w.size() < 3) return Fail("Fault mode slow needs SECONDS");
    f.seconds = std::atoi(w[2].c_str());
    next = 3;
  }
  bool program_matches = w[0] == "*" || SameText(w[0], program);
  bool sti_matches = next >= w.size() || sti_path.find(w[next]) != std::string::npos;
  *applies = program_matches && sti_matches;
  return f;
}

Fault FindFault(const std::string& program, const std::string& sti_path,
                const std::string& work_dir) {
  std::vector<std::string> entries;
  if (const char* env = std::getenv("YL_FAULT")) {
    std::string all = env;
    std::size_t start = 0;
    while (start <= all.size()) {
      std::size_t semi = all.find(';', start);
      entries.push_back(
          all.substr(start, semi == std::string::npos ? std::string::npos : semi - start));
      if (semi == std::string::npos) break;
      start = semi + 1;
    }
  }
  if (auto text = ReadWholeFile(JoinPath(work_dir, "yl-fault.txt"))) {
    for (auto& line : SplitLines(*text)) {
      std::size_t hash = line.find('#');
      entries.push_back(hash == std::string::npos ? line : line.substr(0, hash));
    }
  }
  for (const auto& e : entries) {
    bool applies = false;
    auto f = ParseFaultEntry(e, program, sti_path, &applies);
    if (f && applies) return *f;
  }
  return Fault{};
}

Status WriteReport(const std::string& path, const Report& report) {
  std::string text = "[Result]\n";
  text += std::string("Status=") + (report.ok ? "ok" : "error") + "\n";
  if (!report.ok) {
    std::string err = report.error;
    for (char& c : err) {
      if (c == '\n' || c == '\r') c = ' ';
    }
    text += "Error=" + err + "\n";
  }
  if (!report.log_file.empty()) text += "Log file=" + report.log_file + "\n";
  for (const auto& [k, v] : report.extra) text += k + "=" + v + "\n";
  return WriteFileAtomically(path, text);
}

ToolRun::ToolRun(std::string program, ToolArgs args)
    : program_(std::move(program)), args_(std::move(args)) {
  report_path_ = ChangeFileExt(args_.log, ".rpt");
  std::error_code ec;
  std::string work_dir = std::filesystem::current_path(ec).string();
  if (ec) work_dir = ".";
  fault_ = FindFault(program_, args_.sti, work_dir);
  if (fault_.mode == FaultMode::kSilent) std::_Exit(0);
  log_ = std::fopen(args_.log.c_str(), "w");
  Log(program_ + " started with stored-input file " + args_.sti);
}

ToolRun::~ToolRun() {
  if (log_) std::fclose(AsFile(log_));
}

void ToolRun::Log(const std::string& line) {
  if (!log_) return;
  std::fputs(line.c_str(), AsFile(log_));
  std::fputc('\n', AsFile(log_));
  std::fflush(AsFile(log_));
}

void ToolRun::AddReportKey(const std::string& key, const std::string& value) {
  report_keys_.emplace_back(key, value);
}

Status ToolRun::WriteOutput(const std::string& path, const std::string& content) {
  AddOutput(path);
  if (auto s = WriteFileAtomically(path, content); !s) return s;
  return Ok();
}

void ToolRun::AddOutput(const std::string& path) { outputs_.push_back(path); }

int ToolRun::Finish(const Status& result) {
  switch (fault_.mode) {
    case FaultMode::kCrash:
      Log("Fault knob: crashing on purpose");
      std::abort();
    case FaultMode::kHang:
      Log("Fault knob: hanging on purpose");
      for (;;) std::this_thread::sleep_for(std::chrono::seconds(60));
    case FaultMode::kSlow:
      Log("Fault knob: slowing down by " + std::to_string(fault_.seconds) + " s");
      std::this_thread::sleep_for(std::chrono::seconds(fault_.seconds));
      break;
    default:
      break;
  }
  Report report;
  report.ok = static_cast<bool>(result);
  if (!report.ok) report.error = result.error();
  if (report.ok && fault_.mode == FaultMode::kStatusError) {
    report.ok = false;
    report.error = "Fault knob: status-error";
  }
  if (report.ok && fault_.mode == FaultMode::kNoCheckFile && !check_file_.empty()) {
    Log("Fault knob: leaving out the check file " + check_file_);
    DeleteFileIfExists(check_file_);
  }
  if (!report.ok) {
    Log("Error: " + report.error);
    for (const auto& out : outputs_) DeleteFileIfExists(out);
  } else {
    Log(program_ + " finished successfully");
  }
  report.log_file = args_.log;
  report.extra = report_keys_;
  if (fault_.mode == FaultMode::kNoReport) {
    Log("Fault knob: no report file");
    return report.ok ? 0 : 1;
  }
  if (auto s = WriteReport(report_path_, report); !s) {
    std::cerr << program_ << ": " << s.error() << "\n";
    return 1;
  }
  if (report.ok) {
    switch (fault_.mode) {
      case FaultMode::kCrashAfterReport:
        Log("Fault knob: crashing after a good report");
        // The default action, not a sanitizer's handler that would turn it into an abort.
        std::signal(SIGSEGV, SIG_DFL);
        std::raise(SIGSEGV);
        break;
      case FaultMode::kExitAfterReport:
        Log("Fault knob: exit status 3 after a good report");
        return 3;
      case FaultMode::kTruncateOutputs:
        Log("Fault knob: truncating the outputs after a good report");
        for (const auto& out : outputs_) TruncateToHalf(out);
        break;
      default:
        break;
    }
  }
  return report.ok ? 0 : 1;
}

int RunTool(int argc, const char* const* argv, const std::string& program,
            const std::function<Status(ToolRun&)>& body) {
  auto args = ParseToolArgs(argc, argv);
  if (!args) {
    std::cerr << program << ": " << args.error() << "\n"
              << "usage: " << program << " -sti FILE [-lon|-log|-los LOGFILE|%sti]\n";
    return 2;
  }
  ToolRun run(program, *args);
  Status result;
  try {
    result = body(run);
  } catch (const std::exception& e) {
    result = Fail(std::string("Internal error: ") + e.what());
  }
  return run.Finish(result);
}

}  // namespace yl::tool
