#pragma once
// The command-file reader used by the closure and shock checks: the token stream of
// cmf_tokens.h over a file or a list of lines, plus the table of files that the text
// declares with "file" and "xfile" statements. Also the reference check (every file a
// command file names must lie beside it) and the constituent list used by the archives
// and the reports.

#include <string>
#include <string_view>
#include <vector>

#include "cmf/cmf_tokens.h"
#include "core/message.h"
#include "core/status.h"

namespace yl {

inline constexpr int kMaxCmfDeclarations = 200;

enum class CmfDeclKind { kFile, kXfile, kBoth };

struct TCmfDeclaration {
  std::string LogicalName;
  std::string ActualName;  // as written, or the text inside the quotes of an xfile name
  CmfDeclKind Kind = CmfDeclKind::kFile;
  std::string FileStatus;  // "old" or "new"; empty for a plain file statement
  bool operator==(const TCmfDeclaration&) const = default;
};

// The declarations of a statement list, at most kMaxCmfDeclarations.
std::vector<TCmfDeclaration> CollectCmfDeclarations(const std::vector<CmfStatement>& statements);

class TOpenCMFFile {
 public:
  // Reads the whole file: "Cannot open file {path}[TxtOpen]" when it cannot be opened or
  // is not a regular file.
  Status Open(const std::string& path);
  // Lines already read; path (if given) names them in messages.
  void OpenLines(std::vector<std::string> lines, const std::string& path = "");
  void Close();
  bool IsOpen() const { return open_; }

  bool NextLine() { return stream_.NextLine(); }
  bool NextWord() { return stream_.NextWord(); }
  bool NextStatement() { return stream_.NextStatement(); }
  void Rewind() { stream_.Rewind(); }

  const CmfTokenStream& stream() const { return stream_; }
  const std::string& path() const { return path_; }
  const std::vector<TCmfDeclaration>& declarations() const { return declarations_; }
  const std::vector<CmfStatement>& statements() const { return statements_; }

 private:
  void Load(std::vector<std::string> lines);
  bool open_ = false;
  std::string path_;
  CmfTokenStream stream_;
  std::vector<CmfStatement> statements_;
  std::vector<TCmfDeclaration> declarations_;
};

// A file that a command file names: the declared old files (keyword "file") and the file
// named after the word "file" in shock, use, take, modify, ... statements (".en4" or
// ".lu4" added after "environment" or "lu"). Names are given without enclosing quotes.
struct CmfReference {
  std::string keyword;
  std::string name;
  bool operator==(const CmfReference&) const = default;
};
std::vector<CmfReference> CmfReferences(const TOpenCMFFile& file);

// True for a name that would put the file outside the command file's directory.
bool NamesOtherDirectory(std::string_view name);

// The messages of the reference check, one per bad name (all names are checked). A file
// that cannot be opened has nothing to check.
std::vector<std::string> CmfReferenceProblems(const std::string& cmf_path);
// The reference check as the user is told it: one error per problem, none when all is well.
std::vector<Message> CheckCmfReferences(const std::string& cmf_path);

// Appends name and every file it names (unquoted, as written otherwise; not validated);
// an empty name adds nothing. Fails when the file cannot be opened in dir.
Status AddCmfConstituents(const std::string& dir, const std::string& name,
                          std::vector<std::string>& list);

}  // namespace yl
