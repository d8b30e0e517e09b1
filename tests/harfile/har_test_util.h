#pragma once
// Helpers for the Header Array tests: hand-made files record by record, and the record
// payloads of a written file.

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "harfile/record_file.h"

namespace yl::testing {

// Writes records one by one, for files our writer would never produce.
class Crafter {
 public:
  Crafter(const std::string& path, bool fujitsu) {
    auto f = CreateLaheyFile(path, fujitsu);
    EXPECT_TRUE(f) << f.error();
    if (f) f_ = std::move(*f);
  }
  ~Crafter() { EXPECT_TRUE(f_.Close()); }
  void Name(const std::string& n) { EXPECT_TRUE(WriteLaheyRec(f_, n.data(), 4)); }
  void Desc(const std::string& type, const std::string& storage, const std::string& desc,
            std::vector<std::int32_t> ints) {
    std::string fixed = type + storage + desc;
    fixed.resize(76, ' ');
    EXPECT_TRUE(WriteRecBuf(f_, fixed.data(), 76, ints.data(), std::int64_t(ints.size()), 4));
  }
  void Ints(std::vector<std::int32_t> fixed, const void* elems = nullptr, std::int64_t n = 0,
            int size = 4) {
    EXPECT_TRUE(WriteRecBuf(f_, fixed.data(), std::int32_t(fixed.size() * 4), elems, n, size));
  }
  void Raw(const std::string& payload) {
    EXPECT_TRUE(WriteLaheyRec(f_, payload.data(), std::int32_t(payload.size())));
  }

 private:
  RecordFile f_;
};

// Every record payload of a file, in order.
inline std::vector<std::string> Records(const std::string& path) {
  std::vector<std::string> out;
  auto f = OpenLaheyFile(path);
  EXPECT_TRUE(f) << f.error();
  if (!f) return out;
  while (!f->AtEnd()) {
    auto r = GetLaheyRec(*f);
    EXPECT_TRUE(r) << r.error();
    if (!r) break;
    out.emplace_back(reinterpret_cast<const char*>(r->data()), r->size());
  }
  return out;
}

inline std::int32_t Word(const std::string& payload, std::size_t byte_offset) {
  std::int32_t v = 0;
  std::memcpy(&v, payload.data() + byte_offset, 4);
  return v;
}

// The records of the header of that name: from its name record up to the next one.
inline std::vector<std::string> HeaderRecords(const std::string& path, const std::string& name) {
  std::vector<std::string> all = Records(path);
  std::vector<std::string> out;
  bool in = false;
  for (const std::string& r : all) {
    if (r.size() == 4) {
      if (in) break;
      in = r == name;
    }
    if (in) out.push_back(r);
  }
  return out;
}

}  // namespace yl::testing
