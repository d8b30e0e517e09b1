// The container: what goes in comes out with its name, bytes, time and execute bit; what
// a hostile archive holds is refused before anything reaches the disk; a target is never
// left half restored.

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <zip.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "archive/zip_file.h"
#include "platform/dir_list.h"
#include "platform/dir_tree.h"
#include "platform/file_time.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/process.h"
#include "support/scratch_dir.h"

namespace yl::archive {
namespace {

using ::testing::HasSubstr;
using ::testing::UnorderedElementsAre;
using yl::testing::ReadFileBytes;
using yl::testing::ScratchDir;
using yl::testing::WriteFileBytes;

constexpr std::uint64_t kTicksPerSecond = 10000000;

std::vector<std::string> Names(const std::vector<ZipEntry>& entries) {
  std::vector<std::string> names;
  for (const ZipEntry& e : entries) names.push_back(e.name);
  return names;
}

// Everything below dir, as "name" or "folder/name", symlinks included.
std::vector<std::string> Tree(const std::string& dir, const std::string& prefix = "") {
  std::vector<std::string> out;
  for (const DirEntry& e : ListDirectory(dir).value_or(std::vector<DirEntry>{})) {
    const std::string rel = prefix + e.name;
    if (e.is_directory) {
      for (std::string& sub : Tree(JoinPath(dir, e.name), rel + "/")) out.push_back(sub);
    } else {
      out.push_back(rel);
    }
  }
  return out;
}

// An archive written by libzip directly, the way another program might write it.
struct RawEntry {
  std::string name;
  std::string bytes;
  std::uint32_t unix_mode = 0100644;
};
void WriteRawZip(const std::string& path, const std::vector<RawEntry>& entries) {
  int code = 0;
  zip_t* z = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &code);
  ASSERT_NE(z, nullptr);
  for (const RawEntry& e : entries) {
    zip_source_t* s = zip_source_buffer(z, e.bytes.data(), e.bytes.size(), 0);
    const zip_int64_t i = zip_file_add(z, e.name.c_str(), s, ZIP_FL_ENC_RAW);
    ASSERT_GE(i, 0) << e.name << ": " << zip_strerror(z);
    zip_file_set_external_attributes(z, static_cast<zip_uint64_t>(i), 0, ZIP_OPSYS_UNIX,
                                     e.unix_mode << 16);
  }
  ASSERT_EQ(zip_close(z), 0);
}

// Declares every entry, in its local and its central header, to unpack to almost 4 GB.
void DeclareHugeSizes(const std::string& path) {
  std::string bytes = ReadFileBytes(path);
  auto patch = [&](const std::string& signature, std::size_t offset) {
    for (std::size_t at = bytes.find(signature); at != std::string::npos;
         at = bytes.find(signature, at + 4)) {
      for (std::size_t b = 0; b < 4; ++b) bytes[at + offset + b] = static_cast<char>(0xF0 | b);
    }
  };
  patch(std::string("PK\x03\x04", 4), 22);
  patch(std::string("PK\x01\x02", 4), 24);
  WriteFileBytes(path, bytes);
}

class ZipFileTest : public ::testing::Test {
 protected:
  ScratchDir scratch;
};

TEST_F(ZipFileTest, FilesComeBackWithTheirBytesTimesAndExecuteBits) {
  const std::string a = scratch.Write("src/a.txt", "alpha\n");
  const std::string prog = scratch.Write("src/prog", std::string(100000, 'x'));
  ASSERT_TRUE(SetExecutable(prog, true));
  const std::uint64_t when = 13350000000ULL * kTicksPerSecond;  // a time in 2023
  ASSERT_TRUE(SetFileTime100ns(a, when));
  const std::string zip = scratch / "out.zip";
  ZipResult made =
      CreateZip(zip, {{a, "a.txt"}, {prog, "bin/prog"}}, {{"note.txt", "made in memory"}});
  ASSERT_TRUE(made.ok()) << made.text;

  auto entries = ListZip(zip);
  ASSERT_TRUE(entries) << entries.error();
  EXPECT_THAT(Names(*entries), UnorderedElementsAre("a.txt", "bin/prog", "note.txt"));
  EXPECT_EQ((*entries)[1].size, 100000u);
  EXPECT_LT((*entries)[1].compressed_size, 1000u);  // deflated

  const std::string target = scratch / "target";
  ExtractResult got = ExtractZip(zip, target);
  ASSERT_TRUE(got.ok()) << got.text;
  EXPECT_THAT(Tree(target), UnorderedElementsAre("a.txt", "bin/prog", "note.txt"));
  EXPECT_EQ(ReadFileBytes(target + "/a.txt"), "alpha\n");
  EXPECT_EQ(ReadFileBytes(target + "/note.txt"), "made in memory");
  EXPECT_TRUE(IsExecutableFile(target + "/bin/prog"));
  EXPECT_FALSE(IsExecutableFile(target + "/a.txt"));
  // The entry keeps the two-second time the run records compare.
  EXPECT_EQ(DosDateTime(*FileTime100ns(target + "/a.txt")), DosDateTime(when));

  auto note = ReadZipEntry(zip, "NOTE.TXT");
  ASSERT_TRUE(note && *note);
  EXPECT_EQ(**note, "made in memory");
  auto none = ReadZipEntry(zip, "absent.txt");
  ASSERT_TRUE(none);
  EXPECT_FALSE(none->has_value());
}

TEST_F(ZipFileTest, AFileThatCannotBeReadIsNamedAndNoArchiveIsLeft) {
  const std::string zip = scratch / "out.zip";
  ZipResult made = CreateZip(zip, {{scratch / "gone.txt", "gone.txt"}});
  EXPECT_EQ(made.outcome, ZipOutcome::kFailed);
  EXPECT_EQ(made.text, "Error zipping file\r\n" + scratch / "gone.txt" +
                           "\r\nThe file seems to be locked by another application.\r\nIf so, "
                           "free the file and try again.");
  EXPECT_FALSE(PathExists(zip));
}

TEST_F(ZipFileTest, ACancelLeavesAnEarlierArchiveAsItWas) {
  const std::string zip = scratch.Write("out.zip", "earlier");
  const std::string a = scratch.Write("a.txt", std::string(1 << 20, 'a'));
  ZipProgress progress;
  progress.cancelled = [] { return true; };
  ZipResult made = CreateZip(zip, {{a, "a.txt"}}, {}, progress);
  EXPECT_EQ(made.outcome, ZipOutcome::kCancelled);
  EXPECT_EQ(ReadFileBytes(zip), "earlier");
  EXPECT_THAT(Tree(scratch.path()), UnorderedElementsAre("out.zip", "a.txt"));
}

struct HostileCase {
  std::string label;
  std::function<void(const std::string& zip, const std::string& outside)> make;
  ExtractKind kind;
  std::string message;  // a part of the refusal
};

TEST_F(ZipFileTest, HostileArchivesAreRefusedAndWriteNothingOutsideTheTarget) {
  const std::string outside = scratch.MakeDir("outside");
  const std::string parent = scratch.MakeDir("parent");
  const std::string target = JoinPath(parent, "target");
  const std::vector<HostileCase> cases = {
      {"zip slip",
       [](const std::string& zip, const std::string&) {
         WriteRawZip(zip, {{"fine.txt", "ok"}, {"../x", "escaped"}});
       },
       ExtractKind::kRefused, "The entry \"../x\" leads out of the folder (\"..\")."},
      {"deep zip slip",
       [](const std::string& zip, const std::string&) {
         WriteRawZip(zip, {{"a/../../x", "escaped"}});
       },
       ExtractKind::kRefused, "The entry \"a/../../x\" leads out of the folder"},
      {"absolute path",
       [](const std::string& zip, const std::string& out) {
         WriteRawZip(zip, {{out + "/abs.txt", "escaped"}});
       },
       ExtractKind::kRefused, "is an absolute path."},
      {"backslash",
       [](const std::string& zip, const std::string&) {
         WriteRawZip(zip, {{"..\\x", "escaped"}});
       },
       ExtractKind::kRefused, "The entry \"..\\x\" holds a backslash."},
      {"symlink entry",
       [](const std::string& zip, const std::string& out) {
         WriteRawZip(zip, {{"link", out, 0120777}, {"link/x", "through"}});
       },
       ExtractKind::kRefused, "The entry \"link\" is a link, not a file."},
      {"bomb",
       [](const std::string& zip, const std::string&) {
         std::vector<RawEntry> many;
         for (int i = 0; i < 5; ++i) many.push_back({"big" + std::to_string(i), "small"});
         WriteRawZip(zip, many);
         DeclareHugeSizes(zip);
       },
       ExtractKind::kRefused, "more than the 17179869184 allowed."},
      {"truncated",
       [](const std::string& zip, const std::string&) {
         WriteRawZip(zip, {{"a.txt", std::string(5000, 'a')}, {"b.txt", "b"}});
         const std::string bytes = ReadFileBytes(zip);
         WriteFileBytes(zip, bytes.substr(0, bytes.size() / 2));
       },
       ExtractKind::kFailed, "Cannot read the ZIP file"},
      {"not a zip",
       [](const std::string& zip, const std::string&) {
         WriteFileBytes(zip, "This is a text file, whatever its name says.\n");
       },
       ExtractKind::kFailed, "Cannot read the ZIP file"},
  };
  for (const HostileCase& c : cases) {
    SCOPED_TRACE(c.label);
    const std::string zip = scratch / "hostile.zip";
    c.make(zip, outside);
    ExtractResult got = ExtractZip(zip, target);
    EXPECT_EQ(got.kind, c.kind);
    EXPECT_THAT(got.text, HasSubstr(c.message));
    EXPECT_TRUE(got.written.empty());
    EXPECT_THAT(Tree(outside), ::testing::IsEmpty());
    EXPECT_THAT(Tree(parent), ::testing::IsEmpty());  // the target holds nothing either
    EXPECT_FALSE(PathExists(scratch / "x"));
    (void)RemoveTree(target);
  }
}

TEST_F(ZipFileTest, AnEntryIsNotWrittenThroughALinkAlreadyOnDisk) {
  const std::string outside = scratch.MakeDir("outside");
  const std::string target = scratch.MakeDir("target");
  std::filesystem::create_directory_symlink(outside, target + "/data");
  const std::string zip = scratch / "a.zip";
  WriteRawZip(zip, {{"data/basedata.har", "replaced"}});
  ExtractResult got = ExtractZip(zip, target);
  EXPECT_EQ(got.kind, ExtractKind::kRefused);
  EXPECT_THAT(got.text, HasSubstr("The entry \"data/basedata.har\" would be written through the "
                                  "link " +
                                  target + "/data."));
  EXPECT_THAT(Tree(outside), ::testing::IsEmpty());
  EXPECT_THAT(Tree(target), UnorderedElementsAre("data"));  // only the link itself
}

TEST_F(ZipFileTest, TooManyEntriesOrTooLittleRoomAreRefused) {
  const std::string zip = scratch / "a.zip";
  WriteRawZip(zip, {{"a", "1"}, {"b", "2"}, {"c", std::string(4000, 'c')}});
  ExtractOptions few;
  few.limits.max_entries = 2;
  EXPECT_THAT(ExtractZip(zip, scratch / "t1", few).text,
              HasSubstr("The ZIP file holds 3 entries, more than the 2 allowed."));
  ExtractOptions small;
  small.limits.max_total_bytes = 1000;
  EXPECT_THAT(ExtractZip(zip, scratch / "t2", small).text,
              HasSubstr("would unpack to 4002 bytes, more than the 1000 allowed."));
  ExtractOptions no_room;
  no_room.limits.reserve_bytes = std::uint64_t{1} << 62;
  EXPECT_THAT(ExtractZip(zip, scratch / "t3", no_room).text, HasSubstr("bytes are free."));
}

TEST_F(ZipFileTest, OverwriteAnswersDecideFileByFileAndCancelChangesNothing) {
  const std::string zip = scratch / "a.zip";
  WriteRawZip(zip, {{"a.txt", "new a"}, {"b.txt", "new b"}, {"c.txt", "new c"}});
  struct Case {
    std::vector<OverwriteAnswer> answers;
    ExtractKind kind;
    std::string a, b, c;
    std::size_t asked;
  };
  using A = OverwriteAnswer;
  for (const Case& c : std::vector<Case>{
           {{A::kNo, A::kYes}, ExtractKind::kDone, "old a", "new b", "new c", 2},
           {{A::kAll}, ExtractKind::kDone, "new a", "new b", "new c", 1},
           {{A::kYes, A::kCancel}, ExtractKind::kCancelled, "old a", "old b", "", 2}}) {
    const std::string target = scratch.MakeDir("t");
    scratch.Write("t/a.txt", "old a");
    scratch.Write("t/b.txt", "old b");
    std::size_t asked = 0;
    ExtractOptions options;
    options.ask_overwrite = [&](const std::string&) { return c.answers.at(asked++); };
    ExtractResult got = ExtractZip(zip, target, options);
    EXPECT_EQ(got.kind, c.kind);
    EXPECT_EQ(asked, c.asked);
    EXPECT_EQ(ReadFileBytes(target + "/a.txt"), c.a);
    EXPECT_EQ(ReadFileBytes(target + "/b.txt"), c.b);
    EXPECT_EQ(FileExists(target + "/c.txt") ? ReadFileBytes(target + "/c.txt") : "", c.c);
    EXPECT_THAT(Tree(target).size(), c.c.empty() ? 2u : 3u);  // no staging folder is left
    (void)RemoveTree(target);
  }
}

TEST_F(ZipFileTest, AMoveThatFailsHalfWayPutsBackWhatItReplaced) {
  const std::string zip = scratch / "a.zip";
  WriteRawZip(zip, {{"a.txt", "new a"}, {"d/b.txt", "new b"}});
  const std::string target = scratch.MakeDir("t");
  scratch.Write("t/a.txt", "old a");
  scratch.Write("t/d", "a file where a folder must go");
  ExtractResult got = ExtractZip(zip, target);
  EXPECT_EQ(got.kind, ExtractKind::kFailed);
  EXPECT_EQ(ReadFileBytes(target + "/a.txt"), "old a");
  EXPECT_THAT(Tree(target), UnorderedElementsAre("a.txt", "d"));
}

TEST_F(ZipFileTest, AnArchiveOfTheZipToolIsListedAndUnpacked) {
  PosixProcessRunner runner;
  scratch.Write("in/first.txt", "first\n");
  scratch.Write("in/sub/second.dat", std::string(3000, 's'));
  auto h = runner.Start(ProcessSpec{"zip",
                                    {"-r", "-q", scratch / "tool.zip", "."},
                                    scratch / "in",
                                    WindowState::kNormal,
                                    scratch / "zip.log"});
  if (!h) GTEST_SKIP() << "no zip program";
  std::optional<ProcessExit> e;
  for (int i = 0; i < 100 && !(e = runner.Poll(*h)); ++i) {
    runner.WaitForAnyEnd({*h}, std::chrono::milliseconds(100));
  }
  ASSERT_TRUE(e && e->exited_normally && e->code == 0) << ReadFileBytes(scratch / "zip.log");
  auto entries = ListZip(scratch / "tool.zip");
  ASSERT_TRUE(entries) << entries.error();
  EXPECT_THAT(Names(*entries), UnorderedElementsAre("first.txt", "sub/", "sub/second.dat"));
  for (const ZipEntry& e2 : *entries) {
    EXPECT_EQ(e2.is_directory, e2.name == "sub/");
    EXPECT_GT(e2.time100ns, 0u);
  }
  ExtractResult got = ExtractZip(scratch / "tool.zip", scratch / "out");
  ASSERT_TRUE(got.ok()) << got.text;
  EXPECT_EQ(ReadFileBytes(scratch / "out/sub/second.dat"), std::string(3000, 's'));
}

TEST(UnsafeEntryReasonTest, PlainRelativeNamesAloneAreSafe) {
  for (const char* safe : {"a.txt", "sub/b.har", "sub/", "a..b", "..a"}) {
    EXPECT_EQ(UnsafeEntryReason(safe), "") << safe;
  }
  for (const char* unsafe :
       {"", "/etc/passwd", "C:x", "a\\b", "..", "a/..", "a//b", "./a", "a\nb"}) {
    EXPECT_NE(UnsafeEntryReason(unsafe), "") << unsafe;
  }
}

}  // namespace
}  // namespace yl::archive
