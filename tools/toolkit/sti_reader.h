#pragma once
// Stored-input answers, one per line: text after "!" is a comment, trailing blanks go,
// and a blank line stands for "accept the default". A tool reads them in order and fails
// with a clear text when one it needs is missing.

#include <optional>
#include <string>
#include <vector>

#include "core/status.h"

namespace yl::tool {

class StiReader {
 public:
  static Result<StiReader> Load(const std::string& path);
  static StiReader FromText(const std::string& text);

  bool AtEnd() const { return next_ >= answers_.size(); }
  std::optional<std::string> Peek() const;
  // The next answer; "Stored-input file ends too early: expected {what}" past the end.
  Result<std::string> Next(const std::string& what);
  // The next answer must equal `word` (ignoring case).
  Status Expect(const std::string& word);
  // Consumes the next answer when it equals `word` (ignoring case).
  bool Accept(const std::string& word);
  std::size_t Position() const { return next_; }
  // Answers left over at the end; a tool reports them rather than ignoring them.
  Status ExpectEnd() const;

 private:
  std::vector<std::string> answers_;
  std::size_t next_ = 0;
};

// What every stored-input file of ours begins with: "bat", optional "sub" and "anf"
// flags, then "rpt" and the report file.
struct StiPreamble {
  bool batch = false;
  bool subtotals = false;
  bool arithmetic_not_fatal = false;
  std::string report;
};

Result<StiPreamble> ReadPreamble(StiReader& sti);

}  // namespace yl::tool
