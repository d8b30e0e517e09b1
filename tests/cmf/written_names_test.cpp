// Names in the files we write read back whole through the stand-ins' own readers: the
// command-file words of the model program and the stored-input answers of every tool.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>

#include "cmf/cmf_tokens.h"
#include "cmf/make_cmf.h"
#include "cmf/run_files.h"
#include "cmf_assembly_support.h"
#include "core/text_util.h"
#include "platform/name_quoting.h"
#include "platform/paths.h"
#include "sim/sim_naming.h"
#include "support/hostile_names.h"
#include "toolkit/sti_reader.h"

namespace yl {
namespace {

using testing::AssemblyTest;
using testing::HostileNames;

class WrittenNamesTest : public AssemblyTest {
 protected:
  // The working and temporary directories, the model and a data file, all in directories
  // whose names hold `part`.
  void MoveTo(const std::string& part) {
    const std::string w = scratch / ("w" + part), t = scratch / ("t" + part);
    std::filesystem::copy(original_work, w, std::filesystem::copy_options::recursive);
    std::filesystem::create_directory(t);
    work = sim.SimDir = w;
    temp = t;
    model = scratch / ("m" + part) + "/model" + part + ".exe";
    params = scratch / ("d" + part) + "/par" + part + ".har";
    std::vector<std::string> lines = FirstYearLines();
    lines[1] = "File PARAMS = " + QuoteIfNeeded(params) + " ; ! parameters";
    settings.Files.FirstYear = ParseFirstYearList(lines);
  }
  // The one value of each "KEYWORDS = VALUE" statement, by its keywords.
  std::map<std::string, std::string> Values(const std::string& cmf) {
    std::map<std::string, std::string> values;
    for (const CmfStatement& st : ParseCmfText(ReadOut(cmf))) {
      // "KEY... = VALUE", or "KEY... VALUE" for the environment statements.
      std::size_t eq = 0;
      while (eq < st.words.size() && st.words[eq].text != "=") ++eq;
      const std::size_t value = eq < st.words.size() ? eq + 1 : st.words.size() - 1;
      if (value + 1 != st.words.size()) continue;  // no value, or more than one word
      std::string key;
      for (std::size_t i = 0; i < std::min(eq, value); ++i) key += st.words[i].text + " ";
      values[LowerCase(key)] = Unquote(st.words[value].text);
    }
    return values;
  }
  const std::string original_work = work;
  std::string params;
};

TEST_F(WrittenNamesTest, CommandFilesKeepEveryQuotableName) {
  for (const auto& h : HostileNames()) {
    if (!h.Writable()) continue;
    SCOPED_TRACE(h.label);
    MoveTo(h.name);
    auto written = MakeCMF(sim, model, 1, kBase, settings);
    ASSERT_TRUE(written) << written.error();
    auto v = Values(*written);
    EXPECT_EQ(v["solution file "], ChangeFileExt(*written, ""));
    EXPECT_EQ(v["auxiliary files "], ChangeFileExt(model, ""));
    EXPECT_EQ(v["file params "], params);
    EXPECT_EQ(DirOfFile(v["file summary "]), work);
    EXPECT_EQ(DirOfFile(v["updated file fid "]), work);

    RunFilesSettings rf;
    rf.ModelPath = model;
    rf.TempDir = temp;
    rf.SlotDir = work;
    rf.Files = settings.Files;
    ASSERT_TRUE(WriteRunBat(sim, kRerun, 3, rf));
    const ClosurePrepFiles f = ClosurePrepFileNames(sim, 3, false, temp);
    v = Values(f.EnvCmf);
    EXPECT_EQ(v["auxiliary files "], ChangeFileExt(model, ""));
    EXPECT_EQ(v["save environment file "], f.Environment);
  }
}

TEST_F(WrittenNamesTest, StoredInputFilesKeepEveryWritableName) {
  for (const auto& h : HostileNames()) {
    if (!h.Writable()) continue;
    SCOPED_TRACE(h.label);
    MoveTo(h.name);
    RunFilesSettings rf;
    rf.ModelPath = model;
    rf.TempDir = temp;
    rf.SlotDir = work;
    rf.Files = settings.Files;
    ASSERT_TRUE(WriteRunBat(sim, kRerun, 3, rf));

    const std::string sti = ModelStiPath(sim, kRerun, 3, false, temp);
    auto model_sti = tool::StiReader::Load(sti);
    ASSERT_TRUE(model_sti);
    auto preamble = tool::ReadPreamble(*model_sti);
    ASSERT_TRUE(preamble) << preamble.error();
    EXPECT_EQ(preamble->report, ChangeFileExt(sti, ".rpt"));
    EXPECT_TRUE(model_sti->Accept("cmf"));
    EXPECT_EQ(model_sti->Next("cmf").value_or(""),
              JoinPath(work, CommandFileName(sim, kRerun, 3, false)));

    const ClosurePrepFiles f = ClosurePrepFileNames(sim, 3, false, temp);
    auto st2 = tool::StiReader::Load(f.St2);
    ASSERT_TRUE(st2);
    ASSERT_TRUE(tool::ReadPreamble(*st2));
    EXPECT_EQ(st2->Next("blank").value_or("?"), "");
    EXPECT_EQ(st2->Next("e").value_or(""), "e");
    EXPECT_EQ(st2->Next("environment").value_or(""), f.Environment);
    EXPECT_EQ(st2->Next("s").value_or(""), "s");
    EXPECT_EQ(st2->Next("map").value_or(""), f.Map);

    auto st3 = tool::StiReader::Load(f.St3);
    ASSERT_TRUE(st3);
    ASSERT_TRUE(tool::ReadPreamble(*st3));
    for (const char* answer : {"nlv", "shk", ""})
      EXPECT_EQ(st3->Next(answer).value_or("?"), answer);
    EXPECT_EQ(st3->Next("solution").value_or(""),
              ChangeFileExt(JoinPath(work, SolutionFileName(sim, kBase, 3, false)), ""));
    for (const char* answer : {"c", "y"}) EXPECT_EQ(st3->Next(answer).value_or("?"), answer);
    EXPECT_EQ(st3->Next("map").value_or(""), f.Map);
    EXPECT_EQ(st3->Next("bot").value_or(""), JoinPath(work, BotFileName(sim, 3, false)));
  }
}

}  // namespace
}  // namespace yl
