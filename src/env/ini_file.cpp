#include "env/ini_file.h"

#include <cerrno>
#include <cstdlib>
#include <iterator>
#include <set>

#include "core/text_util.h"
#include "platform/files.h"

namespace yl {

namespace {
constexpr std::string_view kBlanks = " \t\r\n";
}  // namespace

IniFile::Line IniFile::ParseLine(std::string text, const std::string& section) {
  // Views, not copies: a long run's records hold hundreds of thousands of lines.
  auto trim = [](std::string_view v) {
    const std::size_t b = v.find_first_not_of(kBlanks);
    if (b == std::string_view::npos) return std::string_view{};
    const std::size_t e = v.find_last_not_of(kBlanks);
    return v.substr(b, e - b + 1);
  };
  Line l;
  l.section = section;
  const std::string_view t = trim(text);
  if (t.size() >= 2 && t.front() == '[' && t.back() == ']') {
    l.is_header = true;
    l.section = std::string(trim(t.substr(1, t.size() - 2)));
  } else if (!t.empty() && t[0] != ';') {
    const std::size_t eq = text.find('=');
    if (eq != std::string::npos) {
      const std::string_view v(text);
      l.is_key = true;
      l.key = std::string(trim(v.substr(0, eq)));
      std::string_view value = v.substr(eq + 1);
      const std::size_t end = value.find_last_not_of(kBlanks);
      l.value = std::string(end == std::string_view::npos ? std::string_view{}
                                                          : value.substr(0, end + 1));
    }
  }
  l.text = std::move(text);
  return l;
}

IniFile::IniFile(const IniFile& other) : lines_(other.lines_) { Reindex(); }

IniFile& IniFile::operator=(const IniFile& other) {
  if (this != &other) {
    lines_ = other.lines_;
    Reindex();
  }
  return *this;
}

// Swapping lists keeps their iterators valid, so the index moves with the lines.
IniFile::IniFile(IniFile&& other) noexcept {
  lines_.swap(other.lines_);
  index_.keys.swap(other.index_.keys);
  index_.section_end.swap(other.index_.section_end);
  index_.headers.swap(other.index_.headers);
}

IniFile& IniFile::operator=(IniFile&& other) noexcept {
  if (this != &other) {
    lines_.swap(other.lines_);
    index_.keys.swap(other.index_.keys);
    index_.section_end.swap(other.index_.section_end);
    index_.headers.swap(other.index_.headers);
  }
  return *this;
}

std::string IniFile::KeyId(const std::string& section, const std::string& key) {
  // A line read from a file holds no newline, so the pair stands for one key only.
  return LowerCase(section) + '\n' + LowerCase(key);
}

// Lines must be indexed in file order.
void IniFile::IndexLine(LineIt it) {
  const Line& l = *it;
  if (!l.is_header && !l.is_key && Trim(l.text).empty()) return;
  std::string section = LowerCase(l.section);
  if (l.is_key) index_.keys.try_emplace(section + '\n' + LowerCase(l.key), it);
  if (l.is_header) ++index_.headers[section];
  index_.section_end.insert_or_assign(std::move(section), it);
}

void IniFile::Reindex() {
  index_ = Index{};
  for (auto it = lines_.begin(); it != lines_.end(); ++it) IndexLine(it);
}

IniFile IniFile::Parse(const std::string& text) {
  IniFile ini;
  std::string section;
  std::vector<std::string> lines = SplitLines(text);
  ini.index_.keys.reserve(lines.size());
  for (auto& raw : lines) {
    Line l = ParseLine(std::move(raw), section);
    if (l.is_header) section = l.section;
    ini.lines_.push_back(std::move(l));
    ini.IndexLine(std::prev(ini.lines_.end()));
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

std::optional<IniFile::LineIt> IniFile::FindKey(const std::string& section,
                                                const std::string& key) const {
  auto found = index_.keys.find(KeyId(section, key));
  if (found == index_.keys.end()) return std::nullopt;
  return found->second;
}

bool IniFile::HasSection(const std::string& section) const {
  return index_.headers.contains(LowerCase(section));
}

bool IniFile::HasKey(const std::string& section, const std::string& key) const {
  return FindKey(section, key).has_value();
}

std::optional<std::string> IniFile::Get(const std::string& section, const std::string& key) const {
  auto i = FindKey(section, key);
  if (!i) return std::nullopt;
  return (*i)->value;
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
  // A key or value that does not read back as itself (an "=" in the key, say) changes
  // what the line means, so the index is rebuilt rather than patched.
  auto reads_back = [&](const Line& l) { return l.is_key && SameText(l.key, key); };
  if (auto i = FindKey(section, key)) {
    **i = ParseLine(text, (*i)->section);
    if (!reads_back(**i)) Reindex();
    return;
  }
  // After the section's last key (blank lines closing the section stay after it).
  LineIt at;
  if (auto end = index_.section_end.find(LowerCase(section)); end != index_.section_end.end()) {
    at = std::next(end->second);
  } else {
    if (!lines_.empty() && !Trim(lines_.back().text).empty()) {
      lines_.push_back(ParseLine("", ""));
      IndexLine(std::prev(lines_.end()));
    }
    lines_.push_back(ParseLine("[" + section + "]", section));
    IndexLine(std::prev(lines_.end()));
    at = lines_.end();
  }
  LineIt added = lines_.insert(at, ParseLine(text, section));
  if (reads_back(*added)) {
    IndexLine(added);
  } else {
    Reindex();
  }
}

void IniFile::SetInt(const std::string& section, const std::string& key, int value) {
  Set(section, key, std::to_string(value));
}

void IniFile::SetBool(const std::string& section, const std::string& key, bool value) {
  Set(section, key, value ? "1" : "0");
}

void IniFile::RemoveKey(const std::string& section, const std::string& key) {
  auto i = FindKey(section, key);
  if (!i) return;
  // Rare: a later line of the same key, or the section's new end, takes over.
  lines_.erase(*i);
  Reindex();
}

void IniFile::RemoveSection(const std::string& section) {
  std::erase_if(lines_, [&](const Line& l) { return SameText(l.section, section); });
  Reindex();
}

}  // namespace yl
