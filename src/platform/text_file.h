#pragma once
// Text files with the error texts the callers pass on. Lines are written with "\n"; the
// reader accepts "\n" and "\r\n" line ends alike.

#include <cstdio>
#include <string>
#include <vector>

#include "core/status.h"

namespace yl {

class TextReader {
 public:
  TextReader() = default;
  ~TextReader();
  TextReader(const TextReader&) = delete;
  TextReader& operator=(const TextReader&) = delete;

  // "Blank File Name[TxtOpen]" or "Cannot open file {name}[TxtOpen]".
  Status Open(const std::string& path);
  // False at the end of the file; the line comes without its line end.
  bool ReadLine(std::string& line);
  // Reads a line that must be there: "Unexpected end of file" otherwise.
  Status ReadRequiredLine(std::string& line);
  bool AtEnd();
  // Whether a read failed (for example on a directory); ReadLine then returns false.
  bool ReadFailed() const;
  Status Close();
  bool IsOpen() const { return file_ != nullptr; }
  const std::string& path() const { return path_; }

 private:
  std::FILE* file_ = nullptr;
  std::string path_;
};

class TextWriter {
 public:
  TextWriter() = default;
  ~TextWriter();
  TextWriter(const TextWriter&) = delete;
  TextWriter& operator=(const TextWriter&) = delete;

  // "Cannot create file {name}[TxtCreate]".
  Status Create(const std::string& path);
  // Opens for appending, creating the file when missing.
  Status OpenAppend(const std::string& path);
  void Write(const std::string& text);
  void WriteLine(const std::string& line);
  // Copies the whole of another text file into this one: "read error from file {name}"
  // or "write error on file {name}: {reason}", then "[TxtAppend]". The cleaned variant first turns
  // every character below code 33 or above 126 (line ends aside) into a blank, and tags
  // "[TxtAppend2]".
  Status AppendFile(const std::string& path);
  Status AppendFileCleaned(const std::string& path);
  // "Cannot close file {name}: {reason}[TxtClose]"; closing a file that is not open
  // succeeds.
  Status Close();
  bool IsOpen() const { return file_ != nullptr; }
  // Whether a write has failed so far (Close reports it too).
  bool Failed() const { return failed_; }
  const std::string& path() const { return path_; }

 private:
  Status Append(const std::string& path, bool clean, const char* routine);
  std::FILE* file_ = nullptr;
  std::string path_;
  bool failed_ = false;
  int error_ = 0;  // errno of the first failed write
};

// Reads a whole text file into lines ("\r\n" accepted).
Result<std::vector<std::string>> ReadTextLines(const std::string& path);
// Writes lines, each ended by "\n".
Status WriteTextLines(const std::string& path, const std::vector<std::string>& lines);

}  // namespace yl
