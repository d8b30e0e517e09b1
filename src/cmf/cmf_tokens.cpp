#include "cmf/cmf_tokens.h"

#include <array>
#include <utility>

#include "core/text_util.h"

namespace yl {

namespace {

bool IsBlankOrTab(char c) { return c == ' ' || c == '\t'; }
bool IsSingleCharWord(char c) { return c == '=' || c == ';' || c == '(' || c == ')'; }

}  // namespace

std::string RemoveCmfComments(std::string_view line) {
  // Built in one pass so that a hostile line of many "!!" pairs stays linear.
  std::string text;
  text.reserve(line.size());
  std::size_t i = 0;
  while (i < line.size()) {
    char c = line[i];
    if (c == '!') {
      if (i + 1 < line.size() && line[i + 1] == '!') {
        i += 2;
        if (i < line.size()) text += line[i++];  // never a comment start
        continue;
      }
      break;
    }
    text += c;
    ++i;
  }
  std::string out;
  out.reserve(text.size());
  std::size_t from = 0;
  while (from < text.size()) {
    std::size_t open = text.find('#', from);
    if (open == std::string::npos) {
      out.append(text, from, std::string::npos);
      break;
    }
    out.append(text, from, open - from);
    std::size_t close = text.find('#', open + 1);
    if (close == std::string::npos) break;
    from = close + 1;
  }
  return out;
}

bool NextCmfWord(std::string_view line, std::size_t& pos, std::string& word, std::size_t& start) {
  const std::size_t n = line.size();
  while (pos < n && IsBlankOrTab(line[pos])) ++pos;
  if (pos >= n) return false;
  start = pos;
  char c = line[pos];
  std::size_t end;
  if (c == '"') {
    std::size_t close = line.find('"', pos + 1);
    end = (close == std::string_view::npos) ? n : close + 1;
  } else if (IsSingleCharWord(c)) {
    end = pos + 1;
  } else {
    end = pos;
    while (end < n && !IsBlankOrTab(line[end]) && !IsSingleCharWord(line[end])) ++end;
  }
  word.assign(line.substr(pos, end - pos));
  pos = end;
  return true;
}

bool NextCmfWord(std::string_view line, std::size_t& pos, std::string& word) {
  std::size_t start = 0;
  return NextCmfWord(line, pos, word, start);
}

std::vector<std::string> CmfWordsOfLine(std::string_view line) {
  std::vector<std::string> words;
  std::size_t pos = 0;
  std::string w;
  while (NextCmfWord(line, pos, w)) words.push_back(w);
  return words;
}

std::string CleanCmfText(std::string_view text) {
  std::string r(text);
  for (char& c : r) {
    unsigned char u = static_cast<unsigned char>(c);
    if (u < 33 || u > 126) c = ' ';
  }
  while (!r.empty() && r.back() == ' ') r.pop_back();
  return r;
}

std::string NormaliseKeyword(std::string_view word) {
  static constexpr std::array<std::pair<std::string_view, std::string_view>, 15> kPrefixes{{
      {"sho", "shock"},
      {"ash", "ashock"},
      {"fil", "file"},
      {"ts", "tshock"},
      {"us", "use"},
      {"modi", "modify"},
      {"env", "environment"},
      {"lu", "lu"},
      {"exo", "exogenous"},
      {"end", "endogenous"},
      {"re", "rest"},
      {"ta", "take"},
      {"fin", "final_level"},
      {"cha", "change"},
      {"pe", "percent_change"},
  }};
  for (const auto& [prefix, keyword] : kPrefixes) {
    if (StartsWithNoCase(word, prefix)) return std::string(keyword);
  }
  return LowerCase(word.substr(0, 40));
}

CmfTokenStream::CmfTokenStream(std::vector<std::string> lines) : lines_(std::move(lines)) {}

const std::string& CmfTokenStream::raw_line() const {
  static const std::string kNone;
  if (lines_read_ <= 0) return kNone;
  return lines_[static_cast<std::size_t>(lines_read_ - 1)];
}

bool CmfTokenStream::NextLine() {
  if (static_cast<std::size_t>(lines_read_) >= lines_.size()) return false;
  line_ = RemoveCmfComments(lines_[static_cast<std::size_t>(lines_read_)]);
  ++lines_read_;
  pos_ = 0;
  return true;
}

bool CmfTokenStream::NextWord() {
  std::string w;
  std::size_t start = 0;
  for (;;) {
    if (lines_read_ > 0 && NextCmfWord(line_, pos_, w, start)) break;
    if (!NextLine()) return false;
  }
  previous_word_ = std::move(word_);
  word_ = std::move(w);
  word_start_ = static_cast<int>(start) + 1;
  word_line_ = lines_read_;
  return true;
}

bool CmfTokenStream::NextStatement() {
  while (word_ != ";") {
    if (!NextWord()) return false;
  }
  for (;;) {
    if (!NextWord()) return false;
    std::string cleaned = CleanCmfText(word_);
    if (!cleaned.empty()) {
      first_word_ = std::move(cleaned);
      previous_word_.clear();
      return true;
    }
  }
}

void CmfTokenStream::Rewind() {
  line_.clear();
  lines_read_ = 0;
  pos_ = 0;
  word_start_ = 0;
  word_line_ = 0;
  word_ = ";";
  previous_word_.clear();
  first_word_.clear();
}

std::vector<CmfStatement> ParseCmfStatements(const std::vector<std::string>& lines) {
  CmfTokenStream stream(lines);
  std::vector<CmfStatement> statements;
  while (stream.NextStatement()) {
    CmfStatement s;
    s.words.push_back({stream.first_word(), stream.word_line(), stream.word_start()});
    if (stream.word() == ";") {  // an empty statement: ";" right after ";"
      s.terminated = true;
      statements.push_back(std::move(s));
      continue;
    }
    while (stream.NextWord()) {
      if (stream.word() == ";") {
        s.terminated = true;
        break;
      }
      s.words.push_back({stream.word(), stream.word_line(), stream.word_start()});
    }
    statements.push_back(std::move(s));
  }
  return statements;
}

std::vector<CmfStatement> ParseCmfText(std::string_view text) {
  return ParseCmfStatements(SplitLines(text));
}

}  // namespace yl
