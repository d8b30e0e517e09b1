#pragma once
// The lexical rules of command-file text, shared by the closure and shock checks and by
// our own model program: comment removal, words and statements. Nothing here knows about
// simulations, so a separate program can parse whole command files with exactly these
// rules.
//
// Lines: the first "!" starts a comment, except that a doubled "!!" is removed and is no
// comment (the character right after the pair is never a comment start); then every
// "#...#" span is removed, and an unpaired "#" removes the rest of the line.
// Words: blanks and tabs separate words; "=", ";", "(" and ")" are words by themselves;
// a word beginning with a double quote runs to the next double quote, blanks included
// (to the end of the line when there is none).
// Statements end with the word ";". A statement's first word is the first word after the
// previous ";" that is not empty once control characters are blanked.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace yl {

// The line with its comments and "#...#" spans removed.
std::string RemoveCmfComments(std::string_view line);

// Scans the next word of a line from pos (0-based) and moves pos behind it. False when
// only blanks and tabs are left; start receives the word's 0-based position.
bool NextCmfWord(std::string_view line, std::size_t& pos, std::string& word, std::size_t& start);
bool NextCmfWord(std::string_view line, std::size_t& pos, std::string& word);
// Every word of one line, as it stands (comments are not removed here).
std::vector<std::string> CmfWordsOfLine(std::string_view line);

// Each character outside codes 33..126 becomes a blank; trailing blanks are cut.
std::string CleanCmfText(std::string_view text);

// The statement keyword a (possibly abbreviated) word stands for: "sho..." is "shock",
// "endo" is "endogenous", ...; any other word in lower case, cut to 40 characters.
std::string NormaliseKeyword(std::string_view word);

// Reads command-file text word by word and statement by statement. Positions and line
// numbers are 1-based; the current word starts as ";" so the first statement is found
// without skipping anything.
class CmfTokenStream {
 public:
  CmfTokenStream() = default;
  explicit CmfTokenStream(std::vector<std::string> lines);

  // Reads the next line (comments removed); false at the end of the text.
  bool NextLine();
  // Reads the next word, going on to later lines; false at the end of the text.
  bool NextWord();
  // Skips the rest of the current statement and reads the next statement's first word;
  // false when no statement is left.
  bool NextStatement();
  // Back to before the first line.
  void Rewind();

  const std::string& line() const { return line_; }  // current line, comments removed
  const std::string& raw_line() const;               // current line as read
  int lines_read() const { return lines_read_; }
  int position() const { return static_cast<int>(pos_) + 1; }  // scan position
  int word_start() const { return word_start_; }
  int word_line() const { return word_line_; }  // the line holding the current word
  const std::string& word() const { return word_; }
  const std::string& previous_word() const { return previous_word_; }
  const std::string& first_word() const { return first_word_; }
  const std::vector<std::string>& lines() const { return lines_; }

 private:
  std::vector<std::string> lines_;
  std::string line_;
  int lines_read_ = 0;
  std::size_t pos_ = 0;
  int word_start_ = 0;
  int word_line_ = 0;
  std::string word_ = ";";
  std::string previous_word_;
  std::string first_word_;
};

struct CmfWord {
  std::string text;
  int line = 0;    // 1-based line number
  int column = 0;  // 1-based position in the line after comment removal
  bool operator==(const CmfWord&) const = default;
};

// One statement: its words without the closing ";". The first word is given cleaned (as
// CleanCmfText makes it); `terminated` is false for a last statement that ran to the end
// of the text without ";". An empty statement (";" right after ";") is the one word ";".
struct CmfStatement {
  std::vector<CmfWord> words;
  bool terminated = false;
  int line() const { return words.empty() ? 0 : words.front().line; }
  const std::string& keyword_word() const { return words.front().text; }
};

std::vector<CmfStatement> ParseCmfStatements(const std::vector<std::string>& lines);
// The same for a whole text ("\n" or "\r\n" line ends).
std::vector<CmfStatement> ParseCmfText(std::string_view text);

}  // namespace yl
