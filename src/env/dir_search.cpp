#include "env/dir_search.h"

#include "core/text_util.h"
#include "platform/files.h"
#include "platform/paths.h"

namespace yl {

namespace {

bool HasNonAscii(const std::string& s) {
  for (unsigned char c : s) {
    if (c < 32 || c > 126) return true;
  }
  return false;
}

// Every directory from base (exclusive) down to sub (inclusive) must be ours: a parent
// that someone else controls could swap the subdirectory under us.
std::string PrivacyProblem(const std::string& base, const std::string& sub,
                           const DirOwnerProbe& probe) {
  std::vector<std::string> chain;
  for (std::string p = sub; p.size() > base.size() && p != DirOfFile(p); p = DirOfFile(p)) {
    chain.push_back(p);
  }
  for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
    auto info = probe ? probe(*it) : ProbeDirOwner(*it);
    if (!info) return "   Could not examine directory " + *it;
    if (!info->owned_by_current_user) {
      return "   Problem: directory " + *it + " is owned by another user";
    }
    if (info->writable_by_others) {
      return "   Problem: directory " + *it + " can be written by other users";
    }
  }
  return "";
}

Notices NoDirMessages(const std::string& program_name, const std::string& purpose,
                      const std::string& variable, int help_topic) {
  return {ErrorMessage("Serious problem.\r\n" + program_name +
                           " cannot identify a suitable directory " + purpose +
                           ".\r\nYou need to set the value of Environment variable " + variable +
                           " appropriately.\r\nClick on the Help button for detailed advice "
                           "about this.",
                       help_topic),
          InformationMessage(program_name +
                             " will now shut down so that you can rectify this serious problem.")};
}

}  // namespace

std::string DirSearchResult::Messages() const {
  std::string out;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (i > 0) out += "\r\n";
    out += lines[i];
  }
  return out;
}

DirSearchResult DirectorySearch(const DirSearchParams& params) {
  DirSearchResult r;
  auto& m = r.lines;
  for (int source : params.sources) {
    auto value = DirSourceValue(source, params.context);
    if (!value) {
      r.notices.push_back(ErrorMessage(value.error()));
      continue;
    }
    const std::string name = DirSourceName(source);
    const std::string& dir = *value;
    if (dir.empty()) {
      m.push_back(name + " is not defined");
      continue;
    }
    m.push_back(name + " is set to " + dir +
                (DirectoryExists(dir) ? " (exists)" : " (does not exist)"));
    // A source the user set and we could not use must not go unnoticed.
    auto pass_over = [&] { r.passed_over.push_back(name + " (" + dir + "): " + Trim(m.back())); };
    if (source != kSvTempFolder && source != kSvKeepFolder) {
      if (params.reject_non_ascii && HasNonAscii(dir)) {
        m.push_back("Problem: directory name contained one or more non-ASCII characters");
        pass_over();
        continue;
      }
      if (params.reject_blanks && dir.find(' ') != std::string::npos) {
        m.push_back("Problem: directory name contained one or more spaces");
        pass_over();
        continue;
      }
      if (params.max_length > 0 && dir.size() > static_cast<std::size_t>(params.max_length)) {
        m.push_back("Problem: directory name is too long");
        pass_over();
        continue;
      }
    }
    const std::string sub = JoinPath(dir, params.subdir);
    bool exists = DirectoryExists(sub);
    m.push_back("   Subdirectory " + sub + (exists ? " exists" : " does not exist"));
    if (!exists) {
      if (!ForcePrivateDirectories(sub) || !DirectoryExists(sub)) {
        m.push_back("   Could not create subdirectory " + sub);
        pass_over();
        continue;
      }
      m.push_back("   Created subdirectory " + sub);
    }
    if (params.require_private) {
      std::string problem = PrivacyProblem(dir, sub, params.owner_probe);
      if (!problem.empty()) {
        m.push_back(problem);
        pass_over();
        continue;
      }
    }
    if (!CanCreateFileIn(sub, params.test_file)) {
      m.push_back("   Could not create file " + params.test_file + " in subdirectory " + sub);
      pass_over();
      continue;
    }
    m.push_back("   Successfully created file " + params.test_file + " in subdirectory " + sub);
    r.found = true;
    r.dir = sub;
    return r;
  }
  r.found = false;
  r.dir.clear();
  return r;
}

DirSearchParams TempDirSearchParams(const DirSourceContext& context) {
  DirSearchParams p;
  p.sources = {kSvTempFolder, kTmpFolder, kTempFolder, kFixedTemp, kWindowsFolder};
  p.subdir = std::string("SVTEMP/") + "YRLM" + "temp";
  p.test_file = "testfil.$$$";
  p.max_length = 50;
  p.reject_blanks = true;
  p.reject_non_ascii = true;
  p.require_private = true;
  p.context = context;
  return p;
}

DirSearchParams KeepDirSearchParams(const DirSourceContext& context) {
  DirSearchParams p;
  p.sources = {kSvKeepFolder, kUserFolder, kHomePathFolder, kFixedRoot};
  p.subdir = std::string("SVKEEP/") + "YRLM" + "keep";
  p.test_file = "testfil.$$$";
  p.require_private = true;
  p.context = context;
  return p;
}

Notices NoTempDirMessages(const std::string& program_name) {
  return NoDirMessages(program_name, "for temporary files", "SVTEMP", kHelpNoTempDir);
}

Notices NoKeepDirMessages(const std::string& program_name) {
  return NoDirMessages(program_name, "for its Keep Directory", "SVKEEP", kHelpNoKeepDir);
}

}  // namespace yl
