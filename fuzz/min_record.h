#pragma once
// A fresh record holding the logical files of a Model Information text, as loading a
// model leaves it, for the targets that read a model's other files after it.

#include <string>
#include <vector>

#include "core/internal_error.h"
#include "core/text_util.h"
#include "fuzz_record.h"
#include "fuzz_support.h"
#include "model/min_file.h"

namespace yl::fuzz {

// Null when the text is no Model Information file, or names more files than a record
// holds.
inline TSimRecord* RecordFromMin(const std::string& min_text) {
  auto min = ParseMinContents(SplitLines(min_text), "fuzz.min", kNoDir);
  if (!min) return nullptr;
  TSimRecord* rec = &FreshRecord();
  std::vector<std::string> entry_lines;
  try {
    StoreMinEntries(*min, *rec, entry_lines);
  } catch (const InternalError&) {
    return nullptr;
  }
  return rec;
}

}  // namespace yl::fuzz
