#pragma once
// The preparation of every job part of a big job: command files, stored-input files,
// copies into the slot directories, and the process to start with the files the engine
// judges it by.

#include <string>
#include <vector>

#include "app/job_context.h"
#include "cmf/make_cmf.h"
#include "core/prompter.h"
#include "jobs/job_engine.h"
#include "jobs/ss_sti.h"
#include "settings/options.h"

namespace yl {

class ReDriver;

class SimPartPreparer : public jobs::PartPreparer {
 public:
  // The session must outlive the big job; only the model's release information changes,
  // when a solve reports it.
  SimPartPreparer(JobContext context, SessionSettings& session, bool do_deviations,
                  Prompter& prompter);

  void PlanMade(const jobs::JobPlan& plan) override { plan_ = &plan; }
  Status PrepareSlotDirectories(int first_slot, int last_slot) override;
  std::vector<std::string> ClearOutputs() override;
  Result<jobs::PreparedPart> Prepare(const jobs::JobChoice& part, int slot) override;
  Status AfterSimPart(int run, int year, int first_slot, int last_slot) override;
  Status VerifyOutputs(const jobs::JobChoice& part, const jobs::PreparedPart& files) override;
  void PartSucceeded(const jobs::JobChoice& part, const jobs::PreparedPart& files) override;
  // Books the unit in its run's record and copies the record beside the Sim Details; a
  // failure is told and the big job goes on, the unit left unbooked.
  void UnitCompleted(const jobs::CompletedUnit& unit) override;
  std::string ProgramName(const jobs::JobChoice& part) const override;
  std::string ModelPath() const override { return context_.model_path; }
  // Rational expectations, when the task does them.
  void SetReDriver(ReDriver* re) { re_ = re; }
  Status CheckSucceededPart(const jobs::JobChoice& part) override;
  Status IterationCompleted(Run run) override;
  void BigJobFinished() override;

  // A family tool in the program directory ("solexa", "tallyra", ...).
  std::string ToolPath(const std::string& name) const;
  const jobs::SsContext& spreadsheet_context() const { return ss_; }

 private:
  Result<jobs::PreparedPart> PrepareSim(const jobs::JobChoice& part, int slot);
  Result<jobs::PreparedPart> PrepareSol(const jobs::JobChoice& part);
  Result<jobs::PreparedPart> PrepareBot(const jobs::JobChoice& part, int slot);
  Result<jobs::PreparedPart> PrepareSpreadsheet(const jobs::JobChoice& part);
  Status WriteRerunOrPolicyCmf(int run, int year, int slot);
  // The period's stored-input files (and the closure preparation's) for a model part.
  Status WriteRunFiles(int run, int year, int slot);
  bool ToolAvailable(const std::string& tool) const;
  Result<jobs::PreparedPart> ModelPart(const std::string& sti, const std::string& dir) const;
  jobs::PreparedPart ToolPart(const std::string& tool, const jobs::PartFiles& files,
                              const std::string& dir) const;
  FileStatementSettings FileSettings(int slot, int run) const;
  std::string SlotDir(int slot) const;
  jobs::AssemblyRanges Ranges(int run) const;

  JobContext context_;
  SessionSettings& session_;
  bool do_deviations_;
  Prompter& prompter_;
  jobs::SsContext ss_;
  const jobs::JobPlan* plan_ = nullptr;
  ReDriver* re_ = nullptr;
};

// The BOT file of a later slot reads the copy of the Base's results in that slot: every
// quoted `from` name in the lines becomes the quoted `to` name.
void ReplaceQuotedName(std::vector<std::string>& lines, const std::string& from,
                       const std::string& to);

}  // namespace yl
