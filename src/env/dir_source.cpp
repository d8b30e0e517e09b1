#include "env/dir_source.h"

#include "core/text_util.h"
#include "env/environment.h"
#include "platform/paths.h"

namespace yl {

namespace {

std::string Env(const char* name) { return GetEnvVar(name, kDirEnvBuffer).value_or(""); }

std::string RawValue(int source, const DirSourceContext& c) {
  switch (source) {
    case kNamedFolder:
      return c.named_folder;
    case kWindowsFolder:
      return "";
    case kTmpFolder: {
      std::string v = Env("TMP");
      return v.empty() ? Env("TMPDIR") : v;
    }
    case kTempFolder:
      return Env("TEMP");
    case kHomePathFolder:
      return Env("HOME");
    case kSystemDrive:
    case kFixedRoot:
      return "/";
    case kSvTempFolder:
      return Env("SVTEMP");
    case kSvKeepFolder:
      return Env("SVKEEP");
    case kFixedTemp:
      return XdgDirectory("XDG_CACHE_HOME", ".cache");
    case kSvDirFolder:
      return Env("SVDIR");
    case kFixedSv:
      return kSolvaraRoot;
    case kUserFolder:
      return XdgDirectory("XDG_DATA_HOME", ".local/share");
    case kAppDataFolder:
      return XdgDirectory("XDG_CONFIG_HOME", ".config");
    case kCurrentDirectory:
      return ProcessCurrentDirectory();
    case kApplicationFolder:
      return c.program_dir.empty() ? ProgramDirectory() : c.program_dir;
    default:
      return "";
  }
}

}  // namespace

std::string DirSourceName(int source) {
  static const char* const kNames[kNumDirSources] = {
      "Named Folder",   "Windows Folder",    "TMP Folder",         "TEMP Folder",
      "HOME Folder",    "System Root",       "SVTEMP Folder",      "SVKEEP Folder",
      "Cache Folder",   "SVDIR Folder",      kSolvaraRoot,         "User Folder",
      "AppData Folder", "Current Directory", "Application Folder", "/",
  };
  if (source < 0 || source >= kNumDirSources) return "";
  return kNames[source];
}

std::string NormaliseDirValue(const std::string& value) {
  std::string v = Trim(value);
  if (v.empty()) return "";
  v = Trim(RemoveTrailingSep(v));
  if (v.empty()) return "";
  return AbsolutePath(v);
}

Result<std::string> DirSourceValue(int source, const DirSourceContext& context) {
  if (source < 0 || source >= kNumDirSources) return Fail("program error: unexpected case of sdt");
  return NormaliseDirValue(RawValue(source, context));
}

}  // namespace yl
