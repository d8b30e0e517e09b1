#pragma once
// A Windows-style INI file held in memory as its lines, so that rewriting a key changes
// that line in place and every section, key and comment we do not know survives.
// Section and key lookup ignores case; values run to the end of the line. Lookups go
// through an index, so reading a file of many keys stays linear.

#include <list>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "core/status.h"

namespace yl {

class IniFile {
 public:
  IniFile() = default;
  // The index points into the lines, so a copy builds its own.
  IniFile(const IniFile& other);
  IniFile& operator=(const IniFile& other);
  IniFile(IniFile&& other) noexcept;
  IniFile& operator=(IniFile&& other) noexcept;

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
  using Lines = std::list<Line>;
  using LineIt = Lines::iterator;
  struct Index {
    // Lower-case "section\nkey" to the key's first line (the one that counts).
    std::unordered_map<std::string, LineIt> keys;
    // Lower-case section to its last header, key or other non-blank line: where Set adds.
    std::unordered_map<std::string, LineIt> section_end;
    // Lower-case names of the sections that have a header line.
    std::unordered_map<std::string, int> headers;
  };
  static Line ParseLine(std::string text, const std::string& section);
  static std::string KeyId(const std::string& section, const std::string& key);
  void IndexLine(LineIt it);
  void Reindex();
  std::optional<LineIt> FindKey(const std::string& section, const std::string& key) const;
  Lines lines_;
  Index index_;
};

}  // namespace yl
