#include "harfile/har_text.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <optional>
#include <sstream>

#include "core/number_text.h"
#include "core/text_util.h"

namespace yl {

namespace {

std::vector<std::string> Words(const std::string& line) {
  std::istringstream in(line);
  std::vector<std::string> w;
  std::string s;
  while (in >> s) w.push_back(s);
  return w;
}

bool ParseLong(const std::string& s, long long& v) {
  if (s.empty()) return false;
  errno = 0;
  char* end = nullptr;
  v = std::strtoll(s.c_str(), &end, 10);
  return errno == 0 && end && *end == '\0';
}

struct Dim {
  std::string set;
  char status = 'u';
  std::int32_t size = 0;
  std::vector<std::string> elements;
  std::int32_t position = 0;  // 'e' dimensions
};

// One header as described, before it is built.
struct Pending {
  int line = 0;
  std::string name;
  std::string description;
  std::string type = "RE";
  std::string coefficient;
  std::vector<Dim> dims;
  std::vector<std::int32_t> plain_dims;
  bool have_plain_dims = false;
  std::vector<double> values;
  bool have_values = false;
  std::vector<std::string> strings;
  std::int32_t string_length = 0;
};

std::string At(int line, const std::string& what) {
  return "line " + std::to_string(line) + ": " + what;
}

Result<HarHeader> Build(const Pending& p) {
  auto fail = [&](const std::string& what) {
    return Fail(At(p.line, "header " + p.name + ": " + what));
  };
  if (p.type == "1C") {
    std::int32_t len = p.string_length;
    for (const std::string& s : p.strings) {
      if (len > 0 && std::int32_t(s.size()) > len) {
        return fail("string longer than " + std::to_string(len) + " characters: " + s);
      }
    }
    if (len == 0) {
      for (const std::string& s : p.strings)
        len = std::max<std::int32_t>(len, std::int32_t(s.size()));
      if (len == 0) len = 1;
    }
    auto h = Create1C(p.name, p.description, p.strings, len);
    if (!h) return fail(h.error());
    return h;
  }
  if (p.type == "2I") {
    if (p.plain_dims.size() != 2) return fail("a 2I header needs \"dims ROWS COLS\"");
    auto h = Create2I(p.name, p.description, p.plain_dims[0], p.plain_dims[1]);
    if (!h) return fail(h.error());
    if (p.have_values) {
      if (p.values.size() != h->ints.size()) {
        return fail(std::to_string(p.values.size()) + " values given, " +
                    std::to_string(h->ints.size()) + " expected");
      }
      for (std::size_t i = 0; i < p.values.size(); ++i) {
        double v = p.values[i];
        if (v != std::floor(v) || std::fabs(v) > 2147483647.0)
          return fail("2I values must be integers");
        h->ints[i] = static_cast<std::int32_t>(v);
      }
    }
    return h;
  }
  if (p.type != "RE") return fail("unknown type " + p.type + " (RE, 1C or 2I)");
  if (!p.dims.empty() && p.have_plain_dims) return fail("give either set lines or dims, not both");
  std::array<std::int32_t, 7> sizes{1, 1, 1, 1, 1, 1, 1};
  int ndim = 0;
  if (p.have_plain_dims) {
    ndim = static_cast<int>(p.plain_dims.size());
    if (ndim > 7) return fail("at most 7 dimensions");
    for (int i = 0; i < ndim; ++i) sizes[i] = p.plain_dims[i];
  } else {
    ndim = static_cast<int>(p.dims.size());
    if (ndim > 7) return fail("at most 7 dimensions");
    for (int i = 0; i < ndim; ++i) sizes[i] = p.dims[i].size;
  }
  auto h = CreateUnLabelledRE(p.name, p.description, ndim, sizes, true);
  if (!h) return fail(h.error());
  SetCoefficientName(*h, p.coefficient);
  if (!p.dims.empty()) {
    SetDetails& s = h->sets;
    for (int i = 0; i < ndim; ++i) {
      const Dim& d = p.dims[i];
      s.StName[i] = d.set;
      s.RDelst[i] = d.status;
      s.elements[i] = d.elements;
      if (d.status == 'e') {
        s.elno[i] = d.position;
        s.eltnam[i] = d.elements[0];
      }
    }
    s.acdim = ndim;
    s.stknow = true;
    s.NEltrd = 0;
    for (int i = 0; i < ndim; ++i) s.NEltrd += s.RDelst[i] == 'e';
  }
  if (p.have_values) {
    if (static_cast<std::int64_t>(p.values.size()) != h->element_count) {
      return fail(std::to_string(p.values.size()) + " values given, " +
                  std::to_string(h->element_count) + " expected");
    }
    for (std::size_t i = 0; i < p.values.size(); ++i)
      h->values[std::int64_t(i)] = float(p.values[i]);
  }
  if (auto r = CompleteHeaderRecord(*h); !r) return fail(r.error());
  return h;
}

}  // namespace

Result<HarFile> ParseHarText(const std::string& text) {
  std::vector<std::string> lines = SplitLines(text);
  HarFile file;
  file.fujitsu = false;
  std::optional<Pending> cur;
  enum class Block { kNone, kValues, kStrings } block = Block::kNone;
  auto finish = [&]() -> Status {
    if (!cur) return Ok();
    auto h = Build(*cur);
    cur.reset();
    if (!h) return Fail(h.error());
    return AddHeaderNil(file, std::move(*h));
  };
  for (std::size_t li = 0; li < lines.size(); ++li) {
    int n = static_cast<int>(li) + 1;
    const std::string& raw = lines[li];
    std::string line = Trim(raw);
    if (block == Block::kStrings) {
      if (line == "end") {
        block = Block::kNone;
      } else {
        cur->strings.push_back(TrimRight(raw));
      }
      continue;
    }
    if (line.empty() || line[0] == '#') continue;
    std::vector<std::string> w = Words(line);
    // Trim keeps control blanks (a vertical tab, a form feed) that split no words: such a
    // line is as blank as an empty one.
    if (w.empty()) continue;
    if (block == Block::kValues) {
      if (line == "end") {
        block = Block::kNone;
        continue;
      }
      for (const std::string& item : w) {
        long long repeat = 1;
        std::string value = item;
        if (auto star = item.find('*'); star != std::string::npos) {
          if (!ParseLong(item.substr(0, star), repeat) || repeat < 0 ||
              repeat > kMaxArrayElements) {
            return Fail(At(n, "bad repeat count in " + item));
          }
          value = item.substr(star + 1);
        }
        std::optional<double> v = ParseReal(value);
        if (!v) return Fail(At(n, "not a number: " + item));
        if (cur->values.size() + static_cast<std::size_t>(repeat) >
            std::size_t(kMaxArrayElements)) {
          return Fail(At(n, "too many values"));
        }
        cur->values.insert(cur->values.end(), static_cast<std::size_t>(repeat), *v);
      }
      continue;
    }
    const std::string& key = w[0];
    std::string rest = Trim(line.substr(key.size()));
    if (key == "variant") {
      if (cur || !file.headers.empty()) return Fail(At(n, "variant must come before the headers"));
      if (rest == "lahey") {
        file.fujitsu = false;
      } else if (rest == "fujitsu") {
        file.fujitsu = true;
      } else {
        return Fail(At(n, "variant is lahey or fujitsu"));
      }
      continue;
    }
    if (key == "header") {
      if (auto r = finish(); !r) return Fail(r.error());
      if (w.size() != 2 || w[1].size() > 4)
        return Fail(At(n, "header takes a name of up to 4 characters"));
      cur = Pending();
      cur->line = n;
      cur->name = w[1];
      continue;
    }
    if (!cur) return Fail(At(n, "\"" + key + "\" outside a header"));
    if (key == "description") {
      cur->description = rest;
    } else if (key == "type") {
      if (w.size() != 2) return Fail(At(n, "type takes one word"));
      cur->type = UpperCase(w[1]);
    } else if (key == "coefficient") {
      cur->coefficient = rest;
    } else if (key == "set") {
      if (w.size() < 2 || w[1].size() > 12)
        return Fail(At(n, "set takes a name of up to 12 characters"));
      Dim d;
      d.set = w[1];
      if (w.size() == 4 && w[2] == "size") {
        long long size = 0;
        if (!ParseLong(w[3], size) || size < 0 || size > kMaxDimSize) {
          return Fail(At(n, "bad set size " + w[3]));
        }
        d.size = static_cast<std::int32_t>(size);
      } else {
        d.status = 'k';
        d.elements.assign(w.begin() + 2, w.end());
        for (const std::string& e : d.elements) {
          if (e.size() > 12) return Fail(At(n, "element name longer than 12 characters: " + e));
        }
        d.size = static_cast<std::int32_t>(d.elements.size());
      }
      cur->dims.push_back(std::move(d));
    } else if (key == "element") {
      long long pos = 0;
      if (w.size() != 4 || w[1].size() > 12 || w[2].size() > 12 || !ParseLong(w[3], pos) ||
          pos < 1 || pos > kMaxDimSize) {
        return Fail(At(n, "element takes SET ELEMENT POSITION"));
      }
      Dim d;
      d.set = w[1];
      d.status = 'e';
      d.size = 1;
      d.elements = {w[2]};
      d.position = static_cast<std::int32_t>(pos);
      cur->dims.push_back(std::move(d));
    } else if (key == "dims") {
      cur->have_plain_dims = true;
      cur->plain_dims.clear();
      for (std::size_t i = 1; i < w.size(); ++i) {
        long long v = 0;
        if (!ParseLong(w[i], v) || v < 0 || v > kMaxDimSize) return Fail(At(n, "bad size " + w[i]));
        cur->plain_dims.push_back(static_cast<std::int32_t>(v));
      }
    } else if (key == "values") {
      if (w.size() != 1) return Fail(At(n, "values stands alone on its line"));
      cur->have_values = true;
      cur->values.clear();
      block = Block::kValues;
    } else if (key == "strings") {
      long long len = 0;
      if (w.size() == 2 && (!ParseLong(w[1], len) || len < 1 || len > 255)) {
        return Fail(At(n, "string length is 1 to 255"));
      }
      if (w.size() > 2) return Fail(At(n, "strings takes at most a length"));
      cur->string_length = static_cast<std::int32_t>(len);
      cur->strings.clear();
      block = Block::kStrings;
    } else {
      return Fail(At(n, "unknown keyword \"" + key + "\""));
    }
  }
  if (block != Block::kNone) return Fail(At(int(lines.size()), "missing \"end\""));
  if (auto r = finish(); !r) return Fail(r.error());
  if (std::string msg = CheckHarFile(file); !msg.empty()) return Fail(msg);
  if (auto r = CompleteHarFile(file, false); !r) return Fail(r.error());
  return file;
}

}  // namespace yl
