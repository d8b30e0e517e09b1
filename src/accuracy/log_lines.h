#pragma once
// A solve's log read one line at a time, from a file or from text already in memory (the
// fuzz target and the tests feed text without touching the disk).

#include <string>
#include <string_view>
#include <utility>

#include "core/status.h"
#include "platform/text_file.h"

namespace yl {

class LogLines {
 public:
  virtual ~LogLines() = default;
  // False at the end; the line comes without its "\n" or "\r\n".
  virtual bool Next(std::string& line) = 0;
  // Whether the end came from a failed read rather than the real end of the file.
  virtual bool Failed() const { return false; }
};

class TextLogLines : public LogLines {
 public:
  // Keeps its own copy: a view of a caller's temporary would dangle.
  explicit TextLogLines(std::string text) : text_(std::move(text)) {}
  bool Next(std::string& line) override;

 private:
  std::string text_;
  std::size_t at_ = 0;
};

class FileLogLines : public LogLines {
 public:
  // The text-file layer's message when the file cannot be opened.
  Status Open(const std::string& path) { return reader_.Open(path); }
  bool Next(std::string& line) override { return reader_.ReadLine(line); }
  bool Failed() const override { return reader_.ReadFailed(); }

 private:
  TextReader reader_;
};

}  // namespace yl
