#include "cmf/readcmf.h"

#include <utility>

#include "core/text_util.h"
#include "platform/file_lookup.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/text_file.h"

namespace yl {

namespace {

bool IsQuotedName(std::string_view w) {
  return w.size() >= 2 && w.front() == '"' && w.back() == '"';
}

TCmfDeclaration* FindDeclaration(std::vector<TCmfDeclaration>& table, std::string_view logical) {
  for (auto& d : table) {
    if (SameText(d.LogicalName, logical)) return &d;
  }
  return nullptr;
}

void CollectFile(const CmfStatement& s, std::vector<TCmfDeclaration>& table) {
  const auto& w = s.words;
  if (w.size() < 4 || w[2].text != "=") return;  // malformed: not used
  const std::string& logical = w[1].text;
  const std::string& actual = w[3].text;
  if (TCmfDeclaration* d = FindDeclaration(table, logical)) {
    if (d->Kind == CmfDeclKind::kXfile) {
      d->ActualName = actual;
      d->Kind = CmfDeclKind::kBoth;
    }
    return;
  }
  table.push_back({logical, actual, CmfDeclKind::kFile, ""});
}

// False when the option list has no ")": collection stops there.
bool CollectXfile(const CmfStatement& s, std::vector<TCmfDeclaration>& table) {
  const auto& w = s.words;
  std::size_t i = 1;
  std::string status = "old";
  if (i < w.size() && w[i].text == "(") {
    ++i;
    bool closed = false;
    for (; i < w.size(); ++i) {
      if (w[i].text == ")") {
        closed = true;
        ++i;
        break;
      }
      std::string_view opts = w[i].text;
      std::size_t from = 0;
      while (from <= opts.size()) {
        std::size_t comma = opts.find(',', from);
        std::string opt = Trim(opts.substr(
            from, comma == std::string_view::npos ? std::string_view::npos : comma - from));
        if (SameText(opt, "new")) status = "new";
        if (SameText(opt, "old")) status = "old";
        if (comma == std::string_view::npos) break;
        from = comma + 1;
      }
    }
    if (!closed) return false;
  }
  if (i >= w.size()) return true;  // no logical name
  const std::string& logical = w[i].text;
  const std::string* actual = (i + 1 < w.size()) ? &w[i + 1].text : nullptr;
  if (actual && IsQuotedName(*actual)) {
    table.push_back({logical, actual->substr(1, actual->size() - 2), CmfDeclKind::kBoth, status});
    return true;
  }
  if (TCmfDeclaration* d = FindDeclaration(table, logical)) {
    if (d->Kind == CmfDeclKind::kFile) {
      d->FileStatus = status;
      d->Kind = CmfDeclKind::kBoth;
    }
    return true;
  }
  table.push_back({logical, "", CmfDeclKind::kXfile, status});
  return true;
}

bool RefersToFiles(std::string_view keyword) {
  for (std::string_view k : {"shock", "ashock", "tshock", "percent_change", "change", "final_level",
                             "use", "take", "modify"}) {
    if (keyword == k) return true;
  }
  return false;
}

std::string ReferenceMessage(const std::string& cmf, const std::string& keyword,
                             const std::string& name, std::string_view ending) {
  return "The Command file\r\n   " + cmf + "\r\n includes a \"" + keyword +
         "\" statement which refers to file\r\n   " + name + "\r\n" + std::string(ending);
}

}  // namespace

std::vector<TCmfDeclaration> CollectCmfDeclarations(const std::vector<CmfStatement>& statements) {
  std::vector<TCmfDeclaration> table;
  for (const auto& s : statements) {
    if (table.size() >= static_cast<std::size_t>(kMaxCmfDeclarations)) break;
    std::string keyword = NormaliseKeyword(s.keyword_word());
    if (keyword == "file") {
      CollectFile(s, table);
    } else if (keyword == "xfile") {
      if (!CollectXfile(s, table)) break;
    }
  }
  return table;
}

Status TOpenCMFFile::Open(const std::string& path) {
  Close();
  path_ = path;
  // Only regular files: a directory or a pipe named like a closure file must not hang us.
  if (!path.empty() && !FileExists(path)) return Fail("Cannot open file " + path + "[TxtOpen]");
  auto lines = ReadTextLines(path);
  if (!lines) return Fail(lines.error());
  Load(std::move(*lines));
  return Ok();
}

void TOpenCMFFile::OpenLines(std::vector<std::string> lines, const std::string& path) {
  Close();
  path_ = path;
  Load(std::move(lines));
}

void TOpenCMFFile::Load(std::vector<std::string> lines) {
  stream_ = CmfTokenStream(std::move(lines));
  statements_ = ParseCmfStatements(stream_.lines());
  declarations_ = CollectCmfDeclarations(statements_);
  open_ = true;
}

void TOpenCMFFile::Close() {
  open_ = false;
  stream_ = CmfTokenStream();
  statements_.clear();
  declarations_.clear();
}

std::vector<CmfReference> CmfReferences(const TOpenCMFFile& file) {
  std::vector<CmfReference> refs;
  for (const auto& d : file.declarations()) {
    if (d.Kind == CmfDeclKind::kBoth && d.FileStatus == "old") {
      refs.push_back({"file", Unquote(d.ActualName)});
    }
  }
  for (const auto& s : file.statements()) {
    std::string keyword = NormaliseKeyword(s.keyword_word());
    if (!RefersToFiles(keyword)) continue;
    const auto& w = s.words;
    for (std::size_t i = 1; i < w.size(); ++i) {
      if (!SameText(w[i].text, "file")) continue;
      if (i + 1 < w.size()) {
        std::string name = Unquote(w[i + 1].text);
        std::string before = NormaliseKeyword(w[i - 1].text);
        if (before == "environment") name += ".en4";
        if (before == "lu") name += ".lu4";
        refs.push_back({keyword, std::move(name)});
      }
      break;
    }
  }
  return refs;
}

bool NamesOtherDirectory(std::string_view name) {
  return name.find('/') != std::string_view::npos || name.find('\\') != std::string_view::npos ||
         (!name.empty() && name.front() == '.') || (name.size() >= 2 && name[1] == ':');
}

std::vector<std::string> CmfReferenceProblems(const std::string& cmf_path) {
  std::vector<std::string> problems;
  TOpenCMFFile file;
  if (!file.Open(cmf_path)) return problems;
  const std::string dir = DirOfFile(cmf_path);
  for (const auto& ref : CmfReferences(file)) {
    if (NamesOtherDirectory(ref.name)) {
      problems.push_back(ReferenceMessage(
          cmf_path, ref.keyword, ref.name,
          "Files referred to in this Command file must not be in a different directory."));
    } else if (!FileExistsNoCase(dir, ref.name)) {
      problems.push_back(ReferenceMessage(cmf_path, ref.keyword, JoinPath(dir, ref.name),
                                          "This latter file does not exist."));
    }
  }
  return problems;
}

std::vector<Message> CheckCmfReferences(const std::string& cmf_path) {
  std::vector<Message> messages;
  for (auto& text : CmfReferenceProblems(cmf_path))
    messages.push_back(ErrorMessage(std::move(text)));
  return messages;
}

Status AddCmfConstituents(const std::string& dir, const std::string& name,
                          std::vector<std::string>& list) {
  if (name.empty()) return Ok();
  list.push_back(name);
  std::string path = FindFileNoCase(dir, name).value_or(JoinPath(dir, name));
  TOpenCMFFile file;
  if (auto s = file.Open(path); !s) return s;
  for (auto& ref : CmfReferences(file)) list.push_back(std::move(ref.name));
  return Ok();
}

}  // namespace yl
