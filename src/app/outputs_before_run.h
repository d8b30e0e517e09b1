#pragma once
// The outputs a big job will make again are moved aside or deleted before its first part
// starts, so that a failed part never leaves an old result that looks new.

#include <string>
#include <vector>

#include "app/job_context.h"
#include "jobs/job_plan.h"
#include "jobs/ss_sti.h"
#include "settings/options.h"

namespace yl {

// The subdirectory of the working directory that receives moved outputs.
inline constexpr char kMovedOutputsDir[] = "YRLMRes";

// Every file in the working directory that the big job will write: per simulated year its
// solution file with the ".slc", ".udc", ".sol" and ".sli" files of that name and the data
// files it writes; the assembled results of every spreadsheet job.
std::vector<std::string> BigJobOutputs(const JobContext& c, const jobs::JobPlan& plan,
                                       const jobs::SsContext& ss, bool do_deviations);

// Moves, deletes or (Neither) test-renames each existing file; returns the files still in
// the working directory afterwards, which another program holds.
std::vector<std::string> ClearOutputsBeforeRun(const std::vector<std::string>& files,
                                               OutputsBeforeRun choice,
                                               const std::string& work_dir);

// The message of choosing the option in the Run Preferences menu; `current` is the choice
// in force, which the user picked again when equal.
std::string OutputsChoiceMessage(OutputsBeforeRun current, OutputsBeforeRun chosen);
// "[Move]", "[Delete]" or "[Neither]" for the menu caption.
std::string OutputsChoiceMark(OutputsBeforeRun choice);

}  // namespace yl
