#include "app/commands/temp_dir_commands.h"

#include "core/text_util.h"
#include "env/dir_source.h"
#include "env/temp_dir.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/text_file.h"

namespace yl {

namespace {

std::string SorryText(const std::string& dir) {
  return "Sorry, the directory\r\n" + dir + "\r\ncannot be used as the temporary directory";
}

void UnableToStartCheck(Prompter& prompter) {
  prompter.Error(
      "Unable to start Temp Dir check.\r\nSuggest that you change the Temp Dir, restart the "
      "program and try again.");
}

}  // namespace

bool WarnAboutTempDirName(Prompter& prompter, const std::string& program_name,
                          const std::string& dir) {
  const std::string& n = program_name;
  std::string text =
      n + " is currently attempting to use the folder\r\n  " + dir +
      "\r\nas a directory for temporary files.\r\n\r\nWe suggest that the name\r\n of the "
      "Temporary Directory contains only\r\n letters (A-Z) and digits (0-9).\r\n[  :  and  /  "
      "are also allowed.]\r\nThe folder currently set (see above) contains other "
      "characters.\r\n\r\nWe encourage you to choose a different folder to\r\n be the Temporary "
      "Directory used by " +
      n +
      " via the\r\n \"Specify Temporary Directory\" menu item\r\n  under the Options "
      "menu.\r\n\r\n[Click on the Ignore button if you do not want this warning shown again.]";
  return prompter.Information(text, kHelpTempDir, kOk | kIgnore) == kIgnore;
}

void SpecifyTemporaryDirectory(Prompter& prompter, const std::string& program_name,
                               SessionPaths& paths, const DirOwnerProbe& probe) {
  const std::string& n = program_name;
  if (prompter.Confirm(n +
                           " writes files to a temporary directory.\r\nThis directory should be "
                           "on a drive with at least 5-10 Mb free.\r\nEach time you exit from " +
                           n +
                           ", all files in this directory are deleted, so you should not use "
                           "this directory for any other purpose.\r\n\r\nThis temporary "
                           "directory is currently\r\n  " +
                           paths.temp_dir + "\r\nDo you wish to change it?",
                       kYes | kNo, kHelpTempDir) != kYes) {
    return;
  }
  Button option = prompter.Confirm(
      "You can either\r\n1. Change to the default directory, which is\r\n    " +
          paths.default_temp_dir +
          "\r\nor\r\n2. Specify the directory via a file dialog.\r\nClick on \"Yes\" for option 1 "
          "and \"No\" for option 2.",
      kYes | kNo | kCancel, kHelpTempDir);
  std::string dir;
  if (option == kYes) {
    dir = paths.default_temp_dir;
  } else if (option == kNo) {
    auto chosen = prompter.ChooseDirectory(
        DirectoryRequest{"Temporary Directory", "", paths.temp_dir, kHelpTempDir});
    if (!chosen || Trim(*chosen).empty()) return;
    dir = NormaliseDirValue(*chosen);
    if (!DirectoryExists(dir)) ForcePrivateDirectories(dir);
    if (dir == NormaliseDirValue(paths.temp_dir)) {
      prompter.Information("Output directory is unchanged\r\nDOUBLE-clicking is required",
                           kHelpTempDir);
      return;
    }
    if (!IsWritableDir(dir)) {
      prompter.Error("You cannot write to directory:" + dir, kHelpTempDir);
      return;
    }
    if (IsForbiddenTempDir(dir, paths)) {
      prompter.Information(SorryText(dir) + ".", kHelpTempDir);
      return;
    }
    if (!IsPrivateDir(dir, probe)) {
      prompter.Information(SorryText(dir) +
                               " since\r\nit belongs to another user or other users can write "
                               "to it.",
                           kHelpTempDir);
      return;
    }
    if (AnyFileMatching(dir, "*.exe")) {
      prompter.Information(SorryText(dir) +
                               " since\r\nit contains .EXE files which it may not be safe to "
                               "delete.",
                           kHelpTempDir);
      return;
    }
    if (AnyPlainFile(dir) &&
        prompter.Confirm("The directory\r\n" + dir +
                             "\r\nyou have nominated is not empty. Do you want to continue?",
                         kYes | kNo, kHelpTempDir) != kYes) {
      return;
    }
  } else {
    return;
  }
  if (IsSuspiciousTempDirName(dir) &&
      prompter.Confirm("We recommend that the name of the Temporary Directory\r\n contains only "
                       "letters (A-Z) and digits (0-9).\r\nThe name you have just chosen\r\n  " +
                           dir +
                           "\r\ncontains other characters.\r\nDo you wish to continue with this "
                           "choice?",
                       kYes | kNo, kHelpTempDir) != kYes) {
    prompter.Information("Making no change in the name of the Temporary Directory.", kHelpTempDir);
    return;
  }
  paths.next_temp_dir = dir;
  if (dir != paths.temp_dir) {
    prompter.Information(
        "This new directory will be used when you run \r\n" + n + " the next time.", kHelpTempDir);
  }
}

std::optional<TempDirCheckJob> PrepareTempDirCheck(Prompter& prompter, const SessionPaths& paths,
                                                   const std::string& model_program) {
  TempDirCheckJob job;
  job.temp_dir = paths.temp_dir;
  job.program = (!model_program.empty() && FileExists(model_program))
                    ? model_program
                    : JoinPath(paths.program_dir, "solexa");
  if (!FileExists(job.program)) {
    prompter.Error("Program \r\n  " + job.program + "\r\ndoes not exist.");
    UnableToStartCheck(prompter);
    return std::nullopt;
  }
  const std::string stem = JoinPath(paths.temp_dir, "tdcheck");
  job.report_file = stem + ".rpt";
  job.sti_file = stem + ".sti";
  job.script_file = stem + ".sh";
  job.log_file = stem + ".log";
  for (const auto* f : {&job.report_file, &job.sti_file, &job.script_file, &job.log_file}) {
    if (!DeleteFileWithRetries(*f)) {
      UnableToStartCheck(prompter);
      return std::nullopt;
    }
  }
  Status written = WriteTextLines(job.sti_file, {"rpt", job.report_file, " "});
  if (written) {
    written = WriteTextLines(job.script_file,
                             {"cd " + ShellQuote(paths.program_dir),
                              ShellQuote(job.program) + " -sti " + ShellQuote(job.sti_file)});
  }
  if (!written) {
    prompter.Error(written.error());
    UnableToStartCheck(prompter);
    return std::nullopt;
  }
  job.argv = {"/bin/sh", job.script_file};
  return job;
}

bool JudgeTempDirCheck(Prompter& prompter, const TempDirCheckJob& job) {
  if (FileExists(job.report_file)) {
    prompter.Confirm("Temporary Directory\r\n  " + job.temp_dir + "\r\nseems ok.", kOk,
                     kHelpTempDir);
    return true;
  }
  prompter.Error("There is a problem with the Temporary Directory\r\n  " + job.temp_dir +
                     "\r\nWe suggest that you change this to something simple\r\n  (for "
                     "example, ~/temp or ~/temp/SVTEMP)\r\nvia main menu item \"Specify "
                     "Temporary Directory\" under the Options menu.\r\nThen shut down the "
                     "program and start it again.\r\nThen test the Temporary Directory "
                     "again.\r\nClick on the Help button if you want more information.",
                 kHelpTempDir);
  return false;
}

}  // namespace yl
