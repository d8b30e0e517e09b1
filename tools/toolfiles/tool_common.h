#pragma once
// The stored-input reading and output bookkeeping every tool of this family shares.

#include <string>
#include <vector>

#include "core/status.h"
#include "toolkit/sti_reader.h"
#include "toolkit/tool_run.h"

namespace yl::toolfiles {

// "bat", "sub", "anf", "rpt" and the report file; "anf" may also follow the report
// file. The report goes where the answers say from here on.
Result<tool::StiPreamble> ReadToolPreamble(tool::StiReader& sti, tool::ToolRun& run);
// The stored-input file of the run, loaded.
Result<tool::StiReader> LoadSti(const tool::ToolRun& run);

// A file name answer: must not be blank.
Result<std::string> NextFile(tool::StiReader& sti, const std::string& what);
// A blank answer ("accept the default"), where nothing else is supported.
Status ExpectBlank(tool::StiReader& sti, const std::string& what);
// A count of input files: a whole number from 1 to 9999.
Result<int> NextCount(tool::StiReader& sti, const std::string& what);

// The files a run reads and writes. Before anything is written, Claim() refuses an
// output that is also an input (or is named twice) and then hands every output to the
// run, so that a failure removes all of them, not only the ones already written.
class FilePlan {
 public:
  void Input(const std::string& path) { inputs_.push_back(path); }
  void Output(const std::string& path) { outputs_.push_back(path); }
  Status Claim(tool::ToolRun& run) const;
  // The check file: the last output.
  const std::string& LastOutput() const { return outputs_.back(); }
  bool HasOutputs() const { return !outputs_.empty(); }

 private:
  std::vector<std::string> inputs_;
  std::vector<std::string> outputs_;
};

}  // namespace yl::toolfiles
