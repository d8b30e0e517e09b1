#include "toolfiles/tool_common.h"

#include "core/text_util.h"
#include "platform/paths.h"

namespace yl::toolfiles {

Result<tool::StiPreamble> ReadToolPreamble(tool::StiReader& sti, tool::ToolRun& run) {
  auto p = tool::ReadPreamble(sti);
  if (!p) return p;
  run.SetReportPath(p->report);
  if (sti.Accept("anf")) p->arithmetic_not_fatal = true;
  run.Log(std::string("Arithmetic problems are ") +
          (p->arithmetic_not_fatal ? "not fatal" : "fatal"));
  return p;
}

Result<tool::StiReader> LoadSti(const tool::ToolRun& run) {
  return tool::StiReader::Load(run.args().sti);
}

Result<std::string> NextFile(tool::StiReader& sti, const std::string& what) {
  auto a = sti.Next(what);
  if (!a) return a;
  if (a->empty()) {
    return Fail("Stored-input line " + std::to_string(sti.Position()) + ": " + what + " is blank");
  }
  return a;
}

Status ExpectBlank(tool::StiReader& sti, const std::string& what) {
  auto a = sti.Next(what);
  if (!a) return std::unexpected(a.error());
  if (!a->empty()) {
    return Fail("Stored-input line " + std::to_string(sti.Position()) +
                ": expected a blank line (" + what + ") but found \"" + *a + "\"");
  }
  return Ok();
}

Result<int> NextCount(tool::StiReader& sti, const std::string& what) {
  auto a = sti.Next(what);
  if (!a) return std::unexpected(a.error());
  auto n = ParseInt(*a);
  if (!n || *n < 1 || *n > 9999) {
    return Fail("Stored-input line " + std::to_string(sti.Position()) + ": " + what +
                " should be a whole number from 1 to 9999, not \"" + *a + "\"");
  }
  return *n;
}

Status FilePlan::Claim(tool::ToolRun& run) const {
  for (std::size_t i = 0; i < outputs_.size(); ++i) {
    const std::string out = AbsolutePath(outputs_[i]);
    for (const std::string& in : inputs_) {
      if (SameText(AbsolutePath(in), out)) {
        return Fail("The output file " + outputs_[i] + " would replace the input file " + in);
      }
    }
    for (std::size_t j = 0; j < i; ++j) {
      if (SameText(AbsolutePath(outputs_[j]), out)) {
        return Fail("The output file " + outputs_[i] + " is named twice");
      }
    }
  }
  for (const std::string& out : outputs_) run.AddOutput(out);
  return Ok();
}

}  // namespace yl::toolfiles
