// Feeds a command file (a closure, shock or CMFStart file, or a whole command file) to
// the command-file reader and to the rules run on such files: the Ctrl-Z rule, the
// allowed and forbidden statement words and the files the text refers to.

#include <cstdint>
#include <string>

#include "cmf/cmf_tokens.h"
#include "cmf/cmf_util.h"
#include "cmf/readcmf.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text = yl::fuzz::Text(data, size);
  auto lines = yl::SplitLines(text);
  for (const auto& line : lines) {
    std::string clean = yl::RemoveCmfComments(line);
    for (const auto& word : yl::CmfWordsOfLine(clean)) {
      if (word.empty()) __builtin_trap();
      (void)yl::NormaliseKeyword(word);
    }
    (void)yl::CleanCmfText(line);
  }
  (void)yl::ParseCmfText(text);

  yl::TOpenCMFFile reader;
  reader.OpenLines(lines, "fuzz.cmf");
  if (reader.declarations().size() > static_cast<std::size_t>(yl::kMaxCmfDeclarations)) {
    __builtin_trap();
  }
  for (const auto& ref : yl::CmfReferences(reader)) (void)yl::NamesOtherDirectory(ref.name);
  int words = 0;
  while (reader.NextWord()) ++words;
  reader.Rewind();

  // A failed rule always says why; the Ctrl-Z rule fails every rule the same way.
  for (bool flag : {false, true}) {
    auto closure = yl::ClosureRule(reader, 0, flag);
    auto shock = yl::ShockRule(reader, flag, 0);
    auto start = yl::CMFStartRule(reader, 0);
    for (const auto* r : {&closure, &shock, &start}) {
      if (r->passed != r->problem.text.empty()) __builtin_trap();
      if (r->ctrl_z != closure.ctrl_z) __builtin_trap();
    }
  }
  return 0;
}
