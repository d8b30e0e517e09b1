#include "platform/files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "platform/file_lookup.h"
#include "platform/file_time.h"
#include "platform/text_file.h"
#include "support/scratch_dir.h"

namespace yl {
namespace {

using testing::ScratchDir;

TEST(TextFile, OpenErrorsCarryTheRoutineName) {
  ScratchDir d;
  TextReader r;
  EXPECT_EQ(r.Open("").error(), "Blank File Name[TxtOpen]");
  EXPECT_EQ(r.Open(d / "none.txt").error(), "Cannot open file " + (d / "none.txt") + "[TxtOpen]");
  TextWriter w;
  EXPECT_EQ(w.Create(d / "no/such/dir/x.txt").error(),
            "Cannot create file " + (d / "no/such/dir/x.txt") + "[TxtCreate]");
  EXPECT_TRUE(w.Close());  // closing a file that is not open succeeds
}

TEST(TextFile, ReaderAcceptsBothLineEndsAndReportsTheEnd) {
  ScratchDir d;
  d.Write("a.txt", "one\r\ntwo\nthree");
  TextReader r;
  ASSERT_TRUE(r.Open(d / "a.txt"));
  std::string line;
  std::vector<std::string> got;
  while (r.ReadLine(line)) got.push_back(line);
  EXPECT_EQ(got, (std::vector<std::string>{"one", "two", "three"}));
  EXPECT_EQ(r.ReadRequiredLine(line).error(), "Unexpected end of file");
}

TEST(TextFile, AppendCopiesAndTheCleanedVariantBlanksControlCharacters) {
  ScratchDir d;
  d.Write("part.txt", "a\tb\x1a\xe9z\n");
  TextWriter w;
  ASSERT_TRUE(w.Create(d / "out.txt"));
  w.WriteLine("head");
  ASSERT_TRUE(w.AppendFile(d / "part.txt"));
  ASSERT_TRUE(w.AppendFileCleaned(d / "part.txt"));
  EXPECT_EQ(w.AppendFile(d / "missing.txt").error(),
            "read error from file " + (d / "missing.txt") + "[TxtAppend]");
  EXPECT_EQ(w.AppendFileCleaned(d / "missing.txt").error(),
            "read error from file " + (d / "missing.txt") + "[TxtAppend2]");
  ASSERT_TRUE(w.Close());
  EXPECT_EQ(d.Read("out.txt"), "head\na\tb\x1a\xe9z\na b  z\n");
}

TEST(TextFile, AFullDiskNamesTheFileAndTheCause) {
  TextWriter w;
  ASSERT_TRUE(w.Create("/dev/full"));
  for (int i = 0; i < 10000; ++i) w.WriteLine("a line that will not fit");
  auto s = w.Close();
  ASSERT_FALSE(s);
  EXPECT_EQ(s.error(), "Cannot close file /dev/full: No space left on device[TxtClose]");
}

TEST(Files, ExistenceDeletionAndMatching) {
  ScratchDir d;
  d.Write("RUN98.CLS", "x");
  d.MakeDir("sub");
  d.Write("sub/inner.exe", "x");
  EXPECT_TRUE(FileExists(d / "RUN98.CLS"));
  EXPECT_FALSE(FileExists(d / "sub"));
  EXPECT_TRUE(DirectoryExists(d / "sub"));
  EXPECT_TRUE(AnyFileMatching(d.path(), "*.cls"));
  EXPECT_FALSE(AnyFileMatching(d.path(), "*.exe"));  // not in subdirectories
  EXPECT_TRUE(DeleteFileIfExists(d / "never-there"));
  EXPECT_TRUE(DeleteFileWithRetries(d / "RUN98.CLS"));
  EXPECT_FALSE(FileExists(d / "RUN98.CLS"));
  d.Write("a", "1");
  d.Write("b", "2");
  ASSERT_TRUE(DeleteAllFilesInDir(d.path()));
  EXPECT_FALSE(FileExists(d / "a"));
  EXPECT_TRUE(FileExists(d / "sub/inner.exe"));  // no recursion
}

TEST(Files, DeleteWithRetriesGivesUpWithTheFileName) {
  if (::geteuid() == 0) GTEST_SKIP() << "root may delete from a read-only directory";
  ScratchDir d;
  std::string locked = d.MakeDir("locked");
  d.Write("locked/f.txt", "x");
  ::chmod(locked.c_str(), 0500);
  auto r = DeleteFileWithRetries(locked + "/f.txt");
  ::chmod(locked.c_str(), 0700);
  ASSERT_FALSE(r);
  EXPECT_EQ(r.error(), "Could not delete file " + locked + "/f.txt");
}

TEST(Files, FilesEqualComparesSizeAndBytes) {
  ScratchDir d;
  d.Write("a", "same bytes");
  d.Write("b", "same bytes");
  d.Write("c", "same byteZ");
  d.Write("e", "");
  d.Write("f", "");
  EXPECT_TRUE(FilesEqual(d / "a", d / "b"));
  EXPECT_FALSE(FilesEqual(d / "a", d / "c"));
  EXPECT_FALSE(FilesEqual(d / "a", d / "missing"));
  EXPECT_TRUE(FilesEqual(d / "e", d / "f"));
}

TEST(Files, CopyKeepingStampCopiesBytesAndTime) {
  ScratchDir d;
  std::string big(300000, 'q');
  d.Write("src.har", big);
  ASSERT_TRUE(SetFileTime100ns(d / "src.har", UnixNanosTo100ns(1000000000, 0)));
  d.Write("dst.har", "old content");
  ASSERT_TRUE(CopyKeepingStamp(d / "src.har", d / "dst.har", true));
  EXPECT_EQ(d.Read("dst.har"), big);
  EXPECT_EQ(FileTime100ns(d / "dst.har"), FileTime100ns(d / "src.har"));
  EXPECT_EQ(CopyKeepingStamp(d / "nope", d / "x", true).error(),
            "Source file " + (d / "nope") + " does not exist");
}

TEST(Files, CopyIntoDirectoryBothForms) {
  ScratchDir d;
  d.Write("data/x.har", "v1");
  Notices p;
  ASSERT_TRUE(CopyIntoDirIfChanged(d / "data/x.har", d / "slot2/deep", &p));
  EXPECT_EQ(d.Read("slot2/deep/x.har"), "v1");
  // Same name and time stamp: left alone even though the bytes differ.
  d.Write("slot2/deep/x.har", "v1-local");
  auto t = FileTime100ns(d / "data/x.har");
  SetFileTime100ns(d / "slot2/deep/x.har", *t);
  ASSERT_TRUE(CopyIntoDirIfChanged(d / "data/x.har", d / "slot2/deep", &p));
  EXPECT_EQ(d.Read("slot2/deep/x.har"), "v1-local");
  EXPECT_EQ(CopyIntoDirIfChanged(d / "data/none", d / "slot2", &p).error(),
            "OrigFile " + (d / "data/none") + " does not exist");

  EXPECT_EQ(CopyIntoDirReplacing(d / "data/x.har", d / "absent", &p).error(),
            "DestDir " + (d / "absent") + " does not exist");
  ASSERT_TRUE(CopyIntoDirReplacing(d / "data/x.har", d / "slot2/deep", &p));
  EXPECT_EQ(d.Read("slot2/deep/x.har"), "v1");
  EXPECT_TRUE(p.empty());
}

TEST(Files, AtomicWriteReplacesWholeFile) {
  ScratchDir d;
  d.Write("opts.ini", "old");
  ASSERT_TRUE(WriteFileAtomically(d / "opts.ini", "new text\n"));
  EXPECT_EQ(d.Read("opts.ini"), "new text\n");
  EXPECT_FALSE(AnyFileMatching(d.path(), "*.yltmp*"));
  EXPECT_EQ(WriteFileAtomically(d / "missing-dir/opts.ini", "x").error(),
            "Cannot create file " + (d / "missing-dir/opts.ini"));
}

TEST(FileLookup, ExactNameFirstThenAnyCase) {
  ScratchDir d;
  d.Write("run98.cls", "lower");
  d.Write("Devmca.Cls", "mixed");
  EXPECT_EQ(FindNameNoCase(d.path(), "run98.cls"), "run98.cls");
  EXPECT_EQ(FindNameNoCase(d.path(), "RUN98.CLS"), "run98.cls");
  EXPECT_EQ(FindNameNoCase(d.path(), "DEVMCA.CLS"), "Devmca.Cls");
  EXPECT_EQ(FindFileNoCase(d.path(), "devmca.cls"), d / "Devmca.Cls");
  EXPECT_FALSE(FindNameNoCase(d.path(), "nothing.cls"));
  EXPECT_FALSE(FindNameNoCase(d.path(), "../x"));  // never leaves the directory
  EXPECT_EQ(ResolvePathNoCase(d / "RUN98.CLS"), d / "run98.cls");
}

TEST(FileTime, DosDateTimeHasTwoSecondResolution) {
  std::uint64_t t = UnixNanosTo100ns(1100000000, 0);
  EXPECT_EQ(DosDateTime(t), DosDateTime(t + 10000000ULL * 0));
  EXPECT_NE(DosDateTime(t), DosDateTime(t + 10000000ULL * 2));
  EXPECT_EQ(DosDateTime(UnixNanosTo100ns(0, 0)), 0u);  // before 1980
}

}  // namespace
}  // namespace yl
