#pragma once
// The directory search behind the temporary and keep directories: try each source in
// turn, make the subdirectory, prove it writable, and say what happened at every step
// so that a failed start can tell the user why.

#include <string>
#include <vector>

#include "core/message.h"
#include "env/dir_source.h"
#include "env/environment.h"

namespace yl {

struct DirSearchParams {
  std::vector<int> sources;
  std::string subdir;     // relative, e.g. "SVTEMP/YRLMtemp"
  std::string test_file;  // created and erased to prove the subdirectory writable
  int max_length = 0;     // 0: no limit
  bool reject_blanks = false;
  bool reject_non_ascii = false;
  // Refuse a subdirectory that another user owns or that the world can write to.
  bool require_private = false;
  DirSourceContext context;
  DirOwnerProbe owner_probe;  // empty: the real one
};

struct DirSearchResult {
  bool found = false;
  std::string dir;
  std::vector<std::string> lines;
  // The sources that were set but could not be used, each with its problem.
  std::vector<std::string> passed_over;
  // An unknown source number is skipped with an error here.
  Notices notices;
  std::string Messages() const;  // joined with "\r\n"
};

DirSearchResult DirectorySearch(const DirSearchParams& params);

// The two searches made at start-up.
DirSearchParams TempDirSearchParams(const DirSourceContext& context = {});
DirSearchParams KeepDirSearchParams(const DirSourceContext& context = {});

// Start-up failures: the error (help 7121 or 7122) and then the shut-down notice.
Notices NoTempDirMessages(const std::string& program_name);
Notices NoKeepDirMessages(const std::string& program_name);

inline constexpr int kHelpNoTempDir = 7121;
inline constexpr int kHelpNoKeepDir = 7122;

}  // namespace yl
