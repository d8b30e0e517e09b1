#include "app/commands/quillo_extract.h"

#include "platform/files.h"
#include "platform/paths.h"
#include "platform/text_file.h"

namespace yl {

Result<QuilloExtraction> PrepareQuilloExtraction(QuilloFile what, const ModelState& model,
                                                 const std::string& temp_dir,
                                                 const std::string& flatix) {
  QuilloExtraction job;
  job.what = what;
  job.directory = temp_dir;
  job.target = JoinPath(temp_dir, ExtractedQuilloName(what, model));
  job.sti = JoinPath(temp_dir, ExtractionStiName(what));
  if (!DeleteFileIfExists(job.target)) return Fail("Cannot delete " + job.target);
  if (Status s = WriteTextLines(job.sti, {"bat", " ", what == QuilloFile::kTab ? "t" : "s",
                                          AuxTableFileOf(model), job.target});
      !s) {
    return Fail(s.error());
  }
  job.argv = {flatix, "-sti", job.sti, "-los", ChangeFileExt(job.sti, ".log")};
  return job;
}

std::string QuilloExtractionWaitText(QuilloFile what) {
  return what == QuilloFile::kTab ? "Extracting TAB file" : "Extracting Quillo STI file";
}

std::optional<std::string> JudgeQuilloExtraction(const QuilloExtraction& job, Prompter& prompter,
                                                 const std::string& then) {
  const bool tab = job.what == QuilloFile::kTab;
  if (!FileExists(job.target)) {
    prompter.Error(tab ? "Sorry. Unable to extract or find Quillo file."
                       : "Sorry. Unable to extract or find Quillo STI file.");
    return std::nullopt;
  }
  prompter.Information(
      std::string(tab ? "Quillo file seems to be\r\n" : "Quillo STI file seems to be\r\n") +
      job.target + "\r\n" + then);
  return job.target;
}

}  // namespace yl
