#include "env/ini_file.h"

#include <cerrno>
#include <cstdlib>
#include <set>

#include "core/text_util.h"
#include "platform/files.h"

namespace yl {

IniFile::Line IniFile::ParseLine(const std::string& text, const std::string& section) {
  Line l;
  l.text = text;
  l.section = section;
  std::string t = Trim(text);
  if (t.size() >= 2 && t.front() == '[' && t.back() == ']') {
    l.is_header = true;
    l.section = Trim(t.substr(1, t.size() - 2));
    return l;
  }
  if (t.empty() || t[0] == ';') return l;
  std::size_t eq = text.find('=');
  if (eq == std::string::npos) return l;
  l.is_key = true;
  l.key = Trim(text.substr(0, eq));
  l.value = TrimRight(text.substr(eq + 1));
  return l;
}

IniFile IniFile::Parse(const std::string& text) {
  IniFile ini;
  std::string section;
  for (const auto& raw : SplitLines(text)) {
    Line l = ParseLine(raw, section);
    if (l.is_header) section = l.section;
    ini.lines_.push_back(std::move(l));
  }
  return ini;
}

Result<IniFile> IniFile::Load(const std::string& path) {
  if (!FileExists(path)) return IniFile{};
  auto text = ReadWholeFile(path);
  if (!text) return std::unexpected(text.error());
  return Parse(*text);
}

std::string IniFile::Text() const {
  std::string out;
  for (const auto& l : lines_) {
    out += l.text;
    out += '\n';
  }
  return out;
}

Status IniFile::Save(const std::string& path) const { return WriteFileAtomically(path, Text()); }

std::optional<std::size_t> IniFile::FindKey(const std::string& section,
                                            const std::string& key) const {
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    const Line& l = lines_[i];
    if (l.is_key && SameText(l.section, section) && SameText(l.key, key)) return i;
  }
  return std::nullopt;
}

bool IniFile::HasSection(const std::string& section) const {
  for (const auto& l : lines_) {
    if (l.is_header && SameText(l.section, section)) return true;
  }
  return false;
}

bool IniFile::HasKey(const std::string& section, const std::string& key) const {
  return FindKey(section, key).has_value();
}

std::optional<std::string> IniFile::Get(const std::string& section, const std::string& key) const {
  auto i = FindKey(section, key);
  if (!i) return std::nullopt;
  return lines_[*i].value;
}

std::string IniFile::ReadString(const std::string& section, const std::string& key,
                                const std::string& fallback) const {
  auto v = Get(section, key);
  return v ? *v : fallback;
}

int IniFile::ReadInt(const std::string& section, const std::string& key, int fallback) const {
  auto v = Get(section, key);
  if (!v) return fallback;
  std::string t = Trim(*v);
  if (t.empty()) return fallback;
  errno = 0;
  char* end = nullptr;
  long n = std::strtol(t.c_str(), &end, 10);
  if (errno != 0 || *end != '\0' || n < INT32_MIN || n > INT32_MAX) return fallback;
  return static_cast<int>(n);
}

bool IniFile::ReadBool(const std::string& section, const std::string& key, bool fallback) const {
  constexpr int kUnset = INT32_MIN;
  int n = ReadInt(section, key, kUnset);
  if (n == kUnset) return fallback;
  return n != 0;
}

std::vector<std::string> IniFile::Keys(const std::string& section) const {
  std::vector<std::string> keys;
  for (const auto& l : lines_) {
    if (l.is_key && SameText(l.section, section)) keys.push_back(l.key);
  }
  return keys;
}

std::vector<std::string> IniFile::Sections() const {
  std::vector<std::string> out;
  std::set<std::string> seen;
  for (const auto& l : lines_) {
    if (l.is_header && seen.insert(UpperCase(l.section)).second) out.push_back(l.section);
  }
  return out;
}

void IniFile::Set(const std::string& section, const std::string& key, const std::string& value) {
  std::string text = key + "=" + value;
  if (auto i = FindKey(section, key)) {
    lines_[*i] = ParseLine(text, lines_[*i].section);
    return;
  }
  // After the section's last key (blank lines closing the section stay after it).
  std::optional<std::size_t> insert_at;
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    const Line& l = lines_[i];
    if (!SameText(l.section, section)) continue;
    if (l.is_header || l.is_key || !Trim(l.text).empty()) insert_at = i + 1;
  }
  if (!insert_at) {
    if (!lines_.empty() && !Trim(lines_.back().text).empty()) lines_.push_back(ParseLine("", ""));
    lines_.push_back(ParseLine("[" + section + "]", section));
    insert_at = lines_.size();
  }
  lines_.insert(lines_.begin() + static_cast<long>(*insert_at), ParseLine(text, section));
}

void IniFile::SetInt(const std::string& section, const std::string& key, int value) {
  Set(section, key, std::to_string(value));
}

void IniFile::SetBool(const std::string& section, const std::string& key, bool value) {
  Set(section, key, value ? "1" : "0");
}

void IniFile::RemoveKey(const std::string& section, const std::string& key) {
  if (auto i = FindKey(section, key)) lines_.erase(lines_.begin() + static_cast<long>(*i));
}

void IniFile::RemoveSection(const std::string& section) {
  std::erase_if(lines_, [&](const Line& l) { return SameText(l.section, section); });
}

}  // namespace yl
