#include "toolkit/sti_reader.h"

#include "core/text_util.h"
#include "platform/files.h"

namespace yl::tool {

StiReader StiReader::FromText(const std::string& text) {
  StiReader r;
  for (const auto& line : SplitLines(text)) {
    std::size_t bang = line.find('!');
    r.answers_.push_back(TrimRight(bang == std::string::npos ? line : line.substr(0, bang)));
  }
  return r;
}

Result<StiReader> StiReader::Load(const std::string& path) {
  auto text = ReadWholeFile(path);
  if (!text) return std::unexpected("Cannot read stored-input file " + path);
  return FromText(*text);
}

std::optional<std::string> StiReader::Peek() const {
  if (AtEnd()) return std::nullopt;
  return Trim(answers_[next_]);
}

Result<std::string> StiReader::Next(const std::string& what) {
  if (AtEnd()) return Fail("Stored-input file ends too early: expected " + what);
  return Trim(answers_[next_++]);
}

Status StiReader::Expect(const std::string& word) {
  auto a = Next("\"" + word + "\"");
  if (!a) return std::unexpected(a.error());
  if (!SameText(*a, word)) {
    return Fail("Stored-input line " + std::to_string(next_) + ": expected \"" + word +
                "\" but found \"" + *a + "\"");
  }
  return Ok();
}

bool StiReader::Accept(const std::string& word) {
  auto p = Peek();
  if (!p || !SameText(*p, word)) return false;
  ++next_;
  return true;
}

Status StiReader::ExpectEnd() const {
  for (std::size_t i = next_; i < answers_.size(); ++i) {
    if (!Trim(answers_[i]).empty()) {
      return Fail("Stored-input line " + std::to_string(i + 1) + ": unexpected extra answer \"" +
                  Trim(answers_[i]) + "\"");
    }
  }
  return Ok();
}

Result<StiPreamble> ReadPreamble(StiReader& sti) {
  StiPreamble p;
  for (;;) {
    if (sti.Accept("bat")) {
      p.batch = true;
    } else if (sti.Accept("sub")) {
      p.subtotals = true;
    } else if (sti.Accept("anf")) {
      p.arithmetic_not_fatal = true;
    } else {
      break;
    }
  }
  if (auto s = sti.Expect("rpt"); !s) return std::unexpected(s.error());
  auto report = sti.Next("the report file name");
  if (!report) return std::unexpected(report.error());
  if (report->empty()) return Fail("Stored-input file names no report file after \"rpt\"");
  p.report = *report;
  return p;
}

}  // namespace yl::tool
