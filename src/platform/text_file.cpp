#include "platform/text_file.h"

#include <cerrno>
#include <cstring>
#include <vector>

namespace yl {

namespace {
constexpr std::size_t kBufferSize = 60001;

std::FILE* OpenBuffered(const std::string& path, const char* mode) {
  std::FILE* f = std::fopen(path.c_str(), mode);
  if (f) std::setvbuf(f, nullptr, _IOFBF, kBufferSize);
  return f;
}
}  // namespace

TextReader::~TextReader() { (void)Close(); }

Status TextReader::Open(const std::string& path) {
  (void)Close();
  path_ = path;
  if (path.empty()) return Fail("Blank File Name[TxtOpen]");
  file_ = OpenBuffered(path, "rb");
  if (!file_) return Fail("Cannot open file " + path + "[TxtOpen]");
  return Ok();
}

bool TextReader::ReadLine(std::string& line) {
  line.clear();
  if (!file_) return false;
  int c;
  bool any = false;
  while ((c = std::fgetc(file_)) != EOF) {
    any = true;
    if (c == '\n') break;
    line.push_back(static_cast<char>(c));
  }
  if (!any) return false;
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return true;
}

Status TextReader::ReadRequiredLine(std::string& line) {
  if (!ReadLine(line)) return Fail("Unexpected end of file");
  return Ok();
}

bool TextReader::AtEnd() {
  if (!file_) return true;
  int c = std::fgetc(file_);
  if (c == EOF) return true;
  std::ungetc(c, file_);
  return false;
}

bool TextReader::ReadFailed() const { return file_ != nullptr && std::ferror(file_) != 0; }

Status TextReader::Close() {
  if (!file_) return Ok();
  int r = std::fclose(file_);
  file_ = nullptr;
  if (r != 0) return Fail("Cannot close file[TxtClose]");
  return Ok();
}

TextWriter::~TextWriter() { (void)Close(); }

Status TextWriter::Create(const std::string& path) {
  (void)Close();
  path_ = path;
  failed_ = false;
  error_ = 0;
  file_ = path.empty() ? nullptr : OpenBuffered(path, "wb");
  if (!file_) return Fail("Cannot create file " + path + "[TxtCreate]");
  return Ok();
}

Status TextWriter::OpenAppend(const std::string& path) {
  (void)Close();
  path_ = path;
  failed_ = false;
  error_ = 0;
  file_ = path.empty() ? nullptr : OpenBuffered(path, "ab");
  if (!file_) return Fail("Cannot create file " + path + "[TxtCreate]");
  return Ok();
}

void TextWriter::Write(const std::string& text) {
  if (!file_) {
    failed_ = true;
    return;
  }
  if (std::fwrite(text.data(), 1, text.size(), file_) != text.size() && !failed_) {
    failed_ = true;
    error_ = errno;
  }
}

void TextWriter::WriteLine(const std::string& line) {
  Write(line);
  Write("\n");
}

Status TextWriter::Append(const std::string& path, bool clean, const char* routine) {
  std::FILE* in = OpenBuffered(path, "rb");
  if (!in) return Fail("read error from file " + path + Bracket(routine));
  std::vector<char> buf(1 << 16);
  bool read_error = false;
  bool write_error = !file_;
  std::size_t n;
  while (!write_error && (n = std::fread(buf.data(), 1, buf.size(), in)) > 0) {
    if (clean) {
      for (std::size_t i = 0; i < n; ++i) {
        unsigned char c = static_cast<unsigned char>(buf[i]);
        if ((c < 33 || c > 126) && c != '\n' && c != '\r') buf[i] = ' ';
      }
    }
    if (std::fwrite(buf.data(), 1, n, file_) != n) {
      write_error = true;
      if (!failed_) error_ = errno;
      failed_ = true;
    }
  }
  if (std::ferror(in)) read_error = true;
  std::fclose(in);
  if (read_error) return Fail("read error from file " + path + Bracket(routine));
  if (write_error) {
    return Fail("write error on file " + path_ + ": " + std::strerror(error_) + Bracket(routine));
  }
  return Ok();
}

Status TextWriter::AppendFile(const std::string& path) { return Append(path, false, "TxtAppend"); }

Status TextWriter::AppendFileCleaned(const std::string& path) {
  return Append(path, true, "TxtAppend2");
}

Status TextWriter::Close() {
  if (!file_) return Ok();
  int r = std::fclose(file_);
  if (r != 0 && !failed_) error_ = errno;
  file_ = nullptr;
  // A full disk shows itself here, when the buffer is flushed: say which file and why.
  if (r != 0 || failed_) {
    return Fail("Cannot close file " + path_ + ": " + std::strerror(error_) + "[TxtClose]");
  }
  return Ok();
}

Result<std::vector<std::string>> ReadTextLines(const std::string& path) {
  TextReader r;
  if (auto s = r.Open(path); !s) return std::unexpected(s.error());
  std::vector<std::string> lines;
  std::string line;
  while (r.ReadLine(line)) lines.push_back(line);
  if (auto s = r.Close(); !s) return std::unexpected(s.error());
  return lines;
}

Status WriteTextLines(const std::string& path, const std::vector<std::string>& lines) {
  TextWriter w;
  if (auto s = w.Create(path); !s) return s;
  for (const auto& l : lines) w.WriteLine(l);
  return w.Close();
}

}  // namespace yl
