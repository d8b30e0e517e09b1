#include "modelprog/prog_har.h"

#include <cmath>

#include "core/text_util.h"
#include "platform/files.h"

namespace yl::modelprog {
namespace {

const model::SetInfo* FindSet(const std::vector<model::SetInfo>& sets, const std::string& name) {
  for (const model::SetInfo& s : sets)
    if (SameText(s.name, name)) return &s;
  return nullptr;
}

}  // namespace

Result<LoadedData> ReadDataFile(const std::string& path, const std::string& logical) {
  if (!FileExists(path))
    return Fail("Data file " + path + " (logical file " + logical + ") does not exist");
  auto har = ReadHarFile(path);
  if (!har)
    return Fail("Cannot read data file " + path + " (logical file " + logical +
                "): " + har.error());
  LoadedData d;
  d.path = path;
  d.data.logical_name = logical;
  for (const HarHeader& h : har->headers) {
    if (!h.IsReal()) continue;
    model::DataArray a;
    a.header = Trim(h.name);
    a.coefficient = Trim(h.sets.coeff_name);
    a.description = Trim(h.description);
    for (int dim = 0; dim < h.NDim; ++dim) {
      std::string set = Trim(h.sets.StName[static_cast<std::size_t>(dim)]);
      a.sets.push_back(set);
      const auto& elements = h.sets.elements[static_cast<std::size_t>(dim)];
      if (!set.empty() && !elements.empty() && !FindSet(d.sets, set)) {
        model::SetInfo s{set, {}};
        for (const std::string& e : elements) s.elements.push_back(Trim(e));
        d.sets.push_back(std::move(s));
      }
    }
    a.values.reserve(static_cast<std::size_t>(h.values.size()));
    for (float v : h.values.values()) a.values.push_back(v);
    d.data.arrays.push_back(std::move(a));
  }
  d.har = std::move(*har);
  return d;
}

const model::SetInfo* SetOfHeader(const LoadedData& file, const std::string& header) {
  const model::DataArray* a = model::FindArray(file.data, header);
  if (!a || a->sets.empty()) return nullptr;
  return FindSet(file.sets, a->sets.front());
}

Result<HarFile> ReplaceValues(const HarFile& input, const model::DataFile& values) {
  HarFile out = input;
  for (HarHeader& h : out.headers) {
    if (!h.IsReal()) continue;
    const model::DataArray* a = model::FindArray(values, Trim(h.name));
    if (!a) continue;
    if (static_cast<std::int64_t>(a->values.size()) != h.values.size())
      return Fail("Updated header " + Trim(h.name) + " of " + values.logical_name + " has " +
                  std::to_string(a->values.size()) + " values, the input has " +
                  std::to_string(h.values.size()));
    for (std::size_t i = 0; i < a->values.size(); ++i)
      h.values[static_cast<std::int64_t>(i)] = static_cast<float>(a->values[i]);
  }
  return out;
}

Result<HarHeader> RealHeader(const std::string& name, const std::string& description,
                             const std::string& coefficient, const std::string& set,
                             const std::vector<std::string>& elements,
                             const std::vector<double>& values) {
  std::array<std::int32_t, 7> sizes{1, 1, 1, 1, 1, 1, 1};
  sizes[0] = static_cast<std::int32_t>(values.size());
  auto h = CreateUnLabelledRE(name, description, 1, sizes, true);
  if (!h) return h;
  for (std::size_t i = 0; i < values.size(); ++i) {
    if (!std::isfinite(values[i]))
      return Fail("Header " + name + " (" + coefficient + ") holds a value that is not a number");
    h->values[static_cast<std::int64_t>(i)] = static_cast<float>(values[i]);
  }
  SetCoefficientName(*h, coefficient);
  if (!set.empty()) {
    if (auto s = SetDimensionSet(*h, 0, set, elements); !s) return Fail(s.error());
  }
  return h;
}

Result<HarFile> HarFromData(const model::DataFile& data, const std::vector<model::SetInfo>& sets) {
  HarFile f;
  for (const model::DataArray& a : data.arrays) {
    if (a.sets.size() > 1)
      return Fail("Header " + a.header + " of " + data.logical_name + " has more than one set");
    std::string set;
    std::vector<std::string> elements;
    if (!a.sets.empty()) {
      const model::SetInfo* s = FindSet(sets, a.sets.front());
      if (!s) return Fail("Set " + a.sets.front() + " of header " + a.header + " is unknown");
      set = s->name;
      elements = s->elements;
    }
    Result<HarHeader> h =
        RealHeader(a.header, a.description, a.coefficient, set, elements, a.values);
    if (!h) return Fail(h.error());
    if (a.sets.empty() && a.values.size() == 1) {
      // A scalar coefficient keeps the shape the data files give it: no dimension.
      std::array<std::int32_t, 7> none{1, 1, 1, 1, 1, 1, 1};
      auto s = CreateUnLabelledRE(a.header, a.description, 0, none, true);
      if (!s) return Fail(s.error());
      s->values[0] = static_cast<float>(a.values[0]);
      SetCoefficientName(*s, a.coefficient);
      h = std::move(*s);
    }
    if (auto r = AddHeaderNil(f, std::move(*h)); !r) return Fail(r.error());
  }
  return f;
}

Status WriteHar(const std::string& path, const std::string& program, HarFile& file) {
  if (std::string problem = CheckHarFile(file); !problem.empty())
    return Fail("Cannot write " + path + ": " + problem);
  if (auto r = WriteHarFile(path, program, HarCreationTimeNow(), file); !r)
    return Fail("Cannot write " + path + ": " + r.error());
  return Ok();
}

}  // namespace yl::modelprog
