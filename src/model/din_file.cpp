#include "model/din_file.h"

#include <cctype>

#include "core/text_util.h"
#include "platform/files.h"
#include "platform/text_file.h"

namespace yl {
namespace {

bool IsSeparator(char c) { return c == ' ' || c == '\t'; }
bool IsSingleCharWord(char c) { return c == '=' || c == ';' || c == '(' || c == ')'; }

bool KeyCharOk(char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}

std::string Quoted(const std::string& s) { return "\"" + s + "\""; }

}  // namespace

void SetDinDefaults(TSimRecord& rec) {
  rec.NumDinFiles = 0;
  for (int i = 1; i <= rec.NumMinFiles; ++i) {
    const TMinFileEntry& m = rec.MinFiles[i];
    if (!m.Name.empty() && m.Name.front() == '(') continue;
    TDinFileEntry d;
    d.Name = m.Name;
    d.IsInput = m.IsInput;
    d.IsUpdated = m.IsUpdated;
    d.Description = m.Description;
    d.Type = (!m.Type.empty() && (m.Type.front() == 'H' || m.Type.front() == 'h')) ? "HAR" : "TXT";
    d.Key = m.Name.substr(0, 3);
    d.Role = !m.IsInput ? kOutputOnly : (m.IsUpdated ? kUpdatedInput : kConstantInput);
    d.LagOf = 0;
    int number = rec.NumDinFiles + 1;
    d.Usage = {number, 1, 2, 3};
    rec.DinFiles[number] = d;  // range-checked: more than 50 is an internal error
    rec.NumDinFiles = number;
  }
}

std::vector<std::string> DinWords(const std::string& line) {
  std::vector<std::string> words;
  std::size_t p = 0;
  while (p < line.size()) {
    char c = line[p];
    if (IsSeparator(c)) {
      ++p;
    } else if (IsSingleCharWord(c)) {
      words.emplace_back(1, c);
      ++p;
    } else if (c == '"') {
      std::size_t close = line.find('"', p + 1);
      std::size_t end = close == std::string::npos ? line.size() : close + 1;
      words.push_back(line.substr(p, end - p));
      p = end;
    } else {
      std::size_t q = p;
      while (q < line.size() && !IsSeparator(line[q]) && !IsSingleCharWord(line[q]) &&
             line[q] != '"') {
        ++q;
      }
      words.push_back(line.substr(p, q - p));
      p = q;
    }
  }
  return words;
}

int FindDinFile(const TSimRecord& rec, const std::string& name) {
  int found = 0;
  std::string wanted = Trim(name);
  for (int i = 1; i <= rec.NumDinFiles; ++i) {
    if (SameText(Trim(rec.DinFiles[i].Name), wanted)) found = i;
  }
  return found;
}

Status ParseDinLine(const std::string& raw, TSimRecord& rec) {
  std::string line = Trim(raw);
  if (line.empty() || line.front() == '!') return Ok();
  std::vector<std::string> w = DinWords(line);
  std::size_t p = 0;
  int current = 0;
  std::string last_word;
  while (true) {
    if (p >= w.size()) {
      return Fail("A line containing " + Quoted(last_word) + " does not end with \";\"");
    }
    const std::string word = w[p];
    last_word = word;
    if (word == ";") return Ok();
    if (p + 1 >= w.size()) {
      return Fail("A line containing " + Quoted(word) + " does not end with \";\"");
    }
    const std::string arg = w[p + 1];
    last_word = arg;
    std::size_t next = p + 2;
    if (p == 0) {
      if (!SameText(word, "file")) {
        return Fail("Expected \"file\" at start of line but found " + Quoted(word));
      }
      current = FindDinFile(rec, arg);
      if (current == 0) return Fail("Unknown logical file " + Quoted(arg));
    } else if (SameText(word, "key")) {
      if (arg.empty() || arg == ";") return Fail("Expect logical file name after \"key\"");
      rec.DinFiles[current].Key = arg.substr(0, 3);
    } else if (SameText(word, "role")) {
      std::string role = Trim(arg);
      if (SameText(role, "lagged-input")) {
        rec.DinFiles[current].Role = kLaggedInput;
      } else if (SameText(role, "constant-input")) {
        rec.DinFiles[current].Role = kConstantInput;
      } else {
        return Fail("Unexpected word " + Quoted(arg));
      }
    } else if (SameText(word, "lagof")) {
      int lag = FindDinFile(rec, arg);
      if (lag == 0) return Fail("Unknown logical file " + Quoted(arg) + " (after lagof)");
      rec.DinFiles[current].LagOf = lag;
    } else if (SameText(word, "usage")) {
      int data = FindDinFile(rec, arg);
      if (data == 0) return Fail("Unknown logical file " + Quoted(arg) + " (after usage)");
      std::array<int, 3> runs{};
      for (int k = 0; k < 3; ++k) {
        if (next >= w.size()) {
          return Fail(
              "Expect logical file then 3 integers after \"usage\". Only found IntToStr(k)");
        }
        last_word = w[next];
        auto v = ParseInt(w[next]);
        if (!v) return Fail("'" + w[next] + "' is not a valid integer value");
        runs[static_cast<std::size_t>(k)] = *v;
        ++next;
      }
      TDinFileEntry& d = rec.DinFiles[current];
      d.Usage = {data, runs[0], runs[1], runs[2]};
    } else {
      return Fail("Unexpected word " + Quoted(word));
    }
    p = next;
  }
}

Status CheckDinConsistency(const TSimRecord& rec) {
  for (int i = 1; i <= rec.NumDinFiles; ++i) {
    const TDinFileEntry& d = rec.DinFiles[i];
    const char* text = nullptr;
    bool key_illegal = false;
    for (char c : d.Key) key_illegal = key_illegal || !KeyCharOk(c);
    if (!d.IsInput && d.IsUpdated) {
      text = ": output file cannot be updated";
    } else if (!d.IsInput && d.Role == kLaggedInput) {
      text = ": output file cannot be a lagged input";
    } else if (d.IsInput && d.Role == kOutputOnly) {
      text = ": input file cannot be OutPutOnly";
    } else if (d.IsUpdated && d.Role != kUpdatedInput) {
      text = ": role must be updated input";
    } else if (!d.IsUpdated && d.Role == kUpdatedInput) {
      text = ": role cannot be updated input";
    } else if (d.Role == kLaggedInput && d.LagOf == 0) {
      text = ": lagged input must be lag of some file";
    } else if (d.Role == kLaggedInput && d.LagOf == i) {
      text = ": lagged input cannot be lag of itself";
    } else if (d.Role != kLaggedInput && d.Key == "N/A") {
      text = ": needs a proper key";
    } else if (d.Key.size() < 3) {
      text = ": needs key at least 3 chars long";
    } else if (d.Role != kLaggedInput && key_illegal) {
      text = ": key contains illegal characters";
    } else if (d.Usage[0] != i && d.LagOf != 0 && d.Usage[0] != d.LagOf) {
      text = ": InputUsage[0]/LagFile data inconsistent";
    } else if (d.Usage[1] != 1 || d.Usage[2] != 2) {
      text = ": InputUsage[1,2] not as expected";
    } else if (d.Usage[3] != 2 && d.Usage[3] != 3) {
      text = ": InputUsage[3] not as expected";
    }
    if (text) return Fail("File " + d.Name + text);
  }
  for (int i = 1; i <= rec.NumDinFiles; ++i) {
    for (int j = i + 1; j <= rec.NumDinFiles; ++j) {
      if (SameText(rec.DinFiles[i].Key, rec.DinFiles[j].Key)) {
        return Fail("Files " + rec.DinFiles[i].Name + " and " + rec.DinFiles[j].Name +
                    " have the same key");
      }
    }
  }
  return Ok();
}

Status CheckDinAgainstMin(const TSimRecord& rec) {
  std::vector<const TMinFileEntry*> ordinary;
  for (int m = 1; m <= rec.NumMinFiles; ++m) {
    const TMinFileEntry& e = rec.MinFiles[m];
    if (e.Name.empty() || e.Name.front() != '(') ordinary.push_back(&e);
  }
  if (static_cast<int>(ordinary.size()) != rec.NumDinFiles) {
    return Fail("The MIN entries name " + std::to_string(ordinary.size()) +
                " ordinary files, not " + std::to_string(rec.NumDinFiles));
  }
  for (int i = 1; i <= rec.NumDinFiles; ++i) {
    const TDinFileEntry& d = rec.DinFiles[i];
    const TMinFileEntry& e = *ordinary[static_cast<std::size_t>(i - 1)];
    if (!SameText(Trim(d.Name), Trim(e.Name))) {
      return Fail("File " + d.Name + ": expected logical file " + e.Name + " in its place");
    }
    if (d.IsInput != e.IsInput || d.IsUpdated != e.IsUpdated) {
      return Fail("File " + d.Name + ": input and update flags differ from the MIN entry");
    }
  }
  return CheckDinConsistency(rec);
}

std::string DinProblemMessage(const std::string& din_path, const std::string& message) {
  return "Problem with Model Information on DIN file\r\n" + din_path + "\r\n" + message +
         "\r\nUse menu item \"Edit Dynamic Info File\" under the File menu to fix the problem.";
}

bool CheckDinAndReport(const std::string& din_path, const TSimRecord& rec, Notices& notices,
                       int help_topic) {
  Status s = CheckDinConsistency(rec);
  if (s) return true;
  notices.push_back(ErrorMessage(DinProblemMessage(din_path, s.error()), help_topic, kOk | kHelp));
  return false;
}

bool ReadDin(const std::string& din_path, TSimRecord& rec, Notices& notices, int help_topic) {
  SetDinDefaults(rec);
  if (!FileExists(din_path)) return true;
  TextReader reader;
  if (Status s = reader.Open(din_path); !s) {
    notices.push_back(ErrorMessage(
        s.error() + " in DIN file\r\n" + din_path + "\r\nUnable to process this DIN file.",
        help_topic, kOk | kHelp));
    return false;
  }
  std::vector<std::string> lines;
  std::string line;
  while (reader.ReadLine(line)) lines.push_back(line);
  reader.Close();
  return ReadDinLines(lines, din_path, rec, notices, help_topic);
}

bool ReadDinLines(const std::vector<std::string>& lines, const std::string& din_path,
                  TSimRecord& rec, Notices& notices, int help_topic) {
  SetDinDefaults(rec);
  for (const std::string& line : lines) {
    Status s = ParseDinLine(line, rec);
    if (!s) {
      notices.push_back(ErrorMessage(
          s.error() + " in DIN file\r\n" + din_path + "\r\nUnable to process this DIN file.",
          help_topic, kOk | kHelp));
      return false;
    }
  }
  return CheckDinAndReport(din_path, rec, notices, help_topic);
}

}  // namespace yl
