#pragma once
// A Windows-style INI file held in memory as its lines, so that rewriting a key changes
// that line in place and every section, key and comment we do not know survives.
// Section and key lookup ignores case; values run to the end of the line.

#include <optional>
#include <string>
#include <vector>

#include "core/status.h"

namespace yl {

class IniFile {
 public:
  IniFile() = default;
  static IniFile Parse(const std::string& text);
  // A missing file gives an empty IniFile; an unreadable one an error text.
  static Result<IniFile> Load(const std::string& path);
  // Written through a temporary name and a rename: the old file is never half replaced.
  Status Save(const std::string& path) const;
  std::string Text() const;

  bool HasSection(const std::string& section) const;
  bool HasKey(const std::string& section, const std::string& key) const;
  std::optional<std::string> Get(const std::string& section, const std::string& key) const;
  std::string ReadString(const std::string& section, const std::string& key,
                         const std::string& fallback) const;
  // An absent or unreadable integer gives the fallback.
  int ReadInt(const std::string& section, const std::string& key, int fallback) const;
  // "0" is false, any other integer true; anything else gives the fallback.
  bool ReadBool(const std::string& section, const std::string& key, bool fallback) const;
  // Keys of a section in file order.
  std::vector<std::string> Keys(const std::string& section) const;
  std::vector<std::string> Sections() const;

  // Rewrites the key's line in place, or adds it at the end of its section (the section
  // is added at the end of the file when missing).
  void Set(const std::string& section, const std::string& key, const std::string& value);
  void SetInt(const std::string& section, const std::string& key, int value);
  void SetBool(const std::string& section, const std::string& key, bool value);
  void RemoveKey(const std::string& section, const std::string& key);
  void RemoveSection(const std::string& section);

 private:
  struct Line {
    std::string text;
    std::string section;  // the section the line belongs to ("" before the first)
    bool is_header = false;
    bool is_key = false;
    std::string key;
    std::string value;
  };
  static Line ParseLine(const std::string& text, const std::string& section);
  std::optional<std::size_t> FindKey(const std::string& section, const std::string& key) const;
  std::vector<Line> lines_;
};

}  // namespace yl
