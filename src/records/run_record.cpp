#include "records/run_record.h"

#include "core/text_util.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "records/file_stamp.h"
#include "sim/sim_naming.h"
#include "sim/sim_runs.h"

namespace yl::records {

std::string RecordFile(const std::string& keep_dir, int run) {
  return JoinPath(keep_dir, RunBookkeepingFileName(run));
}

namespace {

Status Problem(const std::string& file, const std::string& stage) {
  return Fail("Problem updating Record of Runs file \r\n  " + file +
              "\r\nLast part done is: " + stage + "\r\nBut will attempt to continue.");
}

// A record that belongs to another simulation name says nothing about the current one.
void DeleteStaleLaterRecords(const RecordContext& c, int run) {
  for (int later = run + 1; later <= kPolicy; ++later) {
    if (later == kRerun && c.two_run_mode) continue;
    const std::string file = RecordFile(c.keep_dir, later);
    auto ini = IniFile::Load(file);
    if (!ini || !ini->HasKey("Run", "Sim Name")) continue;
    if (!SameText(ini->ReadString("Run", "Sim Name", ""), c.sim_names[later])) {
      (void)DeleteFileWithRetries(file);
    }
  }
}

}  // namespace

void BookUnit(IniFile& ini, const UnitDescription& unit, const RecordContext& c,
              std::uint64_t now) {
  const int run = unit.unit.run;
  ini.SetInt("Options", "YearloomVersion", kRecordVersion);
  for (int r = kBase; r <= run; ++r) {
    if (r == kRerun && c.two_run_mode) continue;
    ini.Set("LastRan", std::string(RunWord(r)) + " Sim name", c.sim_names[r]);
  }
  ini.Set("Run", "Sim Name", c.sim_names[run]);
  for (const RecordedSetting& s : unit.settings) ini.Set(s.section, s.key, s.value);
  for (const RecordedFile& f : unit.files) {
    FileStamp stamp = StampOf(f.path);
    if (f.optional && stamp.size < 0) {
      ini.RemoveKey(f.section, f.key);
      continue;
    }
    ini.Set(f.section, f.key, FormatFileStamp(stamp));
  }
  // Booked last in memory: a record without its completion stamp is never written.
  ini.Set(unit.completion_section, unit.completion_key, FormatCompletion(now));
  ini.Set("Run", "User DS name", c.user_ds_name);
}

Status RecordJob(const UnitDescription& unit, const RecordContext& c, std::uint64_t now) {
  const int run = unit.unit.run;
  const std::string file = RecordFile(c.keep_dir, run);
  if (!c.developer_mode) DeleteStaleLaterRecords(c, run);
  auto loaded = IniFile::Load(file);
  if (!loaded) return Problem(file, "none");
  IniFile ini = std::move(*loaded);
  BookUnit(ini, unit, c, now);
  if (auto s = ini.Save(file); !s) return Problem(file, "File list freed");
  return Ok();
}

RunRecords RunRecords::Load(const std::string& keep_dir) {
  RunRecords r;
  for (int run = kBase; run <= kPolicy; ++run) {
    auto ini = IniFile::Load(RecordFile(keep_dir, run));
    if (ini) r.of[run] = std::move(*ini);
  }
  return r;
}

}  // namespace yl::records
