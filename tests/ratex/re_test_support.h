#pragma once
// A small forward-looking simulation for the rational-expectations tests: five yearly
// periods from 2001, the three special logical files, and Header Array fixtures written
// with the library's own writer.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "harfile/har_file.h"
#include "ratex/re_files.h"
#include "sim/sim_defaults.h"
#include "sim/sim_naming.h"
#include "sim/sim_table.h"
#include "support/scratch_dir.h"

namespace yl::testing {

struct RealSpec {
  std::string name;
  std::vector<std::int32_t> sizes;
  std::vector<float> values;  // empty: zeros
  std::string description = "";
};

inline HarHeader MakeReal(const RealSpec& s) {
  std::array<std::int32_t, 7> sizes{1, 1, 1, 1, 1, 1, 1};
  for (std::size_t i = 0; i < s.sizes.size(); ++i) sizes[i] = s.sizes[i];
  auto h = CreateUnLabelledRE(s.name, s.description.empty() ? s.name + " data" : s.description,
                              static_cast<int>(s.sizes.size()), sizes, true);
  EXPECT_TRUE(h) << h.error();
  for (std::size_t i = 0; i < s.values.size(); ++i)
    h->values[static_cast<std::int64_t>(i)] = s.values[i];
  return *h;
}

inline void WriteHar(const std::string& path, const std::vector<HarHeader>& headers) {
  auto file = NewHarFile("test", "now", false);
  ASSERT_TRUE(file);
  for (const HarHeader& h : headers) ASSERT_TRUE(AddHeaderNil(*file, h));
  auto s = WriteHarFile(path, "test", "now", *file);
  ASSERT_TRUE(s) << s.error();
}

inline std::vector<float> ValuesOf(const std::string& path, const std::string& header) {
  auto file = ReadHarFile(path);
  EXPECT_TRUE(file) << (file ? "" : file.error());
  if (!file) return {};
  const HarHeader* h = file->Find(header);
  EXPECT_NE(h, nullptr) << header;
  if (!h) return {};
  return {h->values.values().begin(), h->values.values().end()};
}

inline float SingleValue(const std::string& path, const std::string& header) {
  auto v = ValuesOf(path, header);
  return v.empty() ? -999.0f : v[0];
}

constexpr int kInd = 3;
constexpr int kYears = 5;

class ReTest : public IsolatedEnvTest {
 protected:
  void SetUp() override {
    sim = CreateSimRecord();
    SetDefaultSimulation(*sim, scratch.path());
    sim->FirstYear = 2001;
    sim->NumYears = kYears;
    RecomputeYears(*sim);
    NormaliseCells(*sim);
    sim->DinFiles.Fill(TDinFileEntry{});
    auto set = [&](int i, const char* name, const char* key) {
      TDinFileEntry& e = sim->DinFiles[i];
      e.Name = name;
      e.Key = key;
      e.Type = "HAR";
      e.IsInput = true;
      e.IsUpdated = true;
      e.Role = kUpdatedInput;
      e.Usage = {i, 1, 2, 3};
    };
    set(1, "ROREXT", "rex");
    set(2, "ITER", "itr");
    set(3, "EXTRA", "ext");
    sim->NumDinFiles = 3;
    context.sim = sim.get();
    context.temp_dir = scratch.MakeDir("tmp");
    context.first_year = ParseFirstYearList(
        {"File ROREXT = rorext.har ;", "File ITER = iter.har ;", "File EXTRA = extra.har ;"});
    context.counts = {3, 1, 3};
    context.creation_time = "now";
  }

  std::string InDir(const std::string& name) const { return scratch / name; }

  // The ROREXT file with RORG(j, y) = base + j + y / 4 over the whole simulation.
  void WriteRorext(const std::string& name, float base = 0.0f, int ind = kInd) {
    std::vector<float> rorg;
    for (int y = 1; y <= kYears; ++y) {
      for (int j = 1; j <= ind; ++j) rorg.push_back(base + static_cast<float>(j) + y / 4.0f);
    }
    WriteHar(InDir(name), {MakeReal({"ADRE", {ind}, {}}), MakeReal({"RORG", {ind, kYears}, rorg}),
                           MakeReal({"NFIT", {1}, {7}}), MakeReal({"NRIT", {1}, {7}}),
                           MakeReal({"HORZ", {1}, {7}}), MakeReal({"YRPL", {1}, {7}})});
  }
  void WriteIter(const std::string& name, float itno) {
    WriteHar(InDir(name), {MakeReal({"ITNO", {1}, {itno}})});
  }
  void WriteFirstYearFiles() {
    WriteRorext("rorext.har");
    WriteIter("iter.har", 0);
    WriteHar(InDir("extra.har"), {MakeReal({"YEAR", {1}, {9}})});
  }
  std::string LastYearFile(int f, int run) const {
    return InDir(UpdatedFileName(*sim, f, run, kYears, context.no_rerun));
  }

  std::unique_ptr<TSimRecord> sim;
  ratex::ReContext context;
};

}  // namespace yl::testing
