// Flatix: takes the TAB file ("t") or the condensation STI file ("s") out of a model's
// auxiliary table file (".axt", ".kvt"), whose headers TABN/TABF and STIN/STIF hold the
// file's name and lines.

#include "core/text_util.h"
#include "harfile/har_file.h"
#include "platform/files.h"
#include "toolfiles/tool_common.h"
#include "toolfiles/tools.h"

namespace yl::toolfiles {

Status RunFlatix(tool::ToolRun& run) {
  auto sti = LoadSti(run);
  if (!sti) return std::unexpected(sti.error());
  // This stored-input file names no report: the report follows the log's name.
  sti->Accept("bat");
  if (auto s = ExpectBlank(*sti, "the default start"); !s) return s;
  auto kind = sti->Next("what to extract (t or s)");
  if (!kind) return std::unexpected(kind.error());
  const bool tab = SameText(*kind, "t");
  if (!tab && !SameText(*kind, "s")) {
    return Fail("Stored-input line " + std::to_string(sti->Position()) +
                ": expected t (TAB file) or s (STI file), found \"" + *kind + "\"");
  }
  auto aux = NextFile(*sti, "the auxiliary table file");
  if (!aux) return std::unexpected(aux.error());
  auto target = NextFile(*sti, "the file to write");
  if (!target) return std::unexpected(target.error());
  if (auto s = sti->ExpectEnd(); !s) return s;
  FilePlan plan;
  plan.Input(*aux);
  plan.Output(*target);
  if (auto s = plan.Claim(run); !s) return s;
  run.SetCheckFile(*target);

  if (!FileExists(*aux)) return Fail("The auxiliary table file " + *aux + " does not exist");
  const char* name_header = tab ? "TABN" : "STIN";
  const char* text_header = tab ? "TABF" : "STIF";
  auto har = ReadHeadersFromHarFile(*aux, {name_header, text_header});
  if (!har) return Fail("Cannot read the auxiliary table file " + *aux + ": " + har.error());
  const HarHeader* lines = har->Find(text_header);
  if (!lines || lines->type != "1C") {
    return Fail(tab ? "The auxiliary table file " + *aux + " holds no TAB file"
                    : "No STI file was used to run the model compiler (" + *aux + " holds none)");
  }
  std::string text;
  for (const std::string& l : lines->strings) text += TrimRight(l) + "\n";
  if (auto s = run.WriteOutput(*target, text); !s) return s;
  if (const HarHeader* n = har->Find(name_header); n && !n->strings.empty()) {
    run.AddReportKey(tab ? "TAB file" : "STI file", Trim(n->strings[0]));
  }
  run.Log("Wrote " + *target + " (" + std::to_string(lines->strings.size()) + " lines)");
  return Ok();
}

}  // namespace yl::toolfiles
