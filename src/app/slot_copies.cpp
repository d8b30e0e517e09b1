#include "app/slot_copies.h"

#include <set>

#include "cmf/cmf_util_cells.h"
#include "cmf/readcmf.h"
#include "core/text_util.h"
#include "model/model_state.h"
#include "platform/file_lookup.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "sim/sim_naming.h"
#include "sim/sim_runs.h"

namespace yl {

namespace {

// A name a command-file piece gives is relative to the working directory; its on-disk
// spelling is used when only the case differs.
std::string InWorkDir(const TSimRecord& sim, const std::string& name) {
  if (IsAbsolutePath(name)) return name;
  return FindFileNoCase(sim.SimDir, name).value_or(JoinPath(sim.SimDir, name));
}

void AddPieceAndNamedFiles(const TSimRecord& sim, const std::string& path,
                           std::vector<std::string>& out) {
  if (path.empty()) return;
  // A piece that cannot be read still goes into the list, so the copy reports it missing.
  out.push_back(path);
  std::vector<std::string> names;
  if (!AddCmfConstituents(DirOfFile(path), FileNameOf(path), names)) return;
  for (std::size_t k = 1; k < names.size(); ++k) out.push_back(InWorkDir(sim, names[k]));
}

void AddModelFiles(const JobContext& c, std::vector<std::string>& out) {
  const bool kvs = IsKvsModel(c.model_path);
  for (const char* ext : {kvs ? ".kvs" : ".axs", kvs ? ".kvt" : ".axt"}) {
    out.push_back(FindCompanion(c.model_path, ext).value_or(CompanionPath(c.model_path, ext)));
  }
}

void AddDataInputs(const JobContext& c, int run, int year, std::vector<std::string>& out) {
  const TSimRecord& sim = *c.sim;
  for (int f = 1; f <= sim.NumDinFiles; ++f) {
    if (!sim.DinFiles[f].IsInput) continue;
    InputFile in =
        ResolveParsedInputFile(sim, f, year, run, c.policy_start, c.first_year, c.no_rerun);
    if (!in.FileName.empty()) out.push_back(InWorkDir(sim, in.FileName));
  }
}

void AddUpdatedInputs(const JobContext& c, int run, int year, std::vector<std::string>& out) {
  const TSimRecord& sim = *c.sim;
  for (int f = 1; f <= sim.NumDinFiles; ++f) {
    const TDinFileEntry& e = sim.DinFiles[f];
    if (e.IsInput && e.IsUpdated) {
      out.push_back(InSimDir(sim, UpdatedFileName(sim, f, run, year, c.no_rerun)));
    }
  }
}

void AddCmfBits(const JobContext& c, int year, std::vector<std::string>& out) {
  for (int row : {kCommonRow, year}) {
    for (int column = kBaseClosure; column <= kPolicyShocks; ++column) {
      AddPieceAndNamedFiles(*c.sim, CellFilePath(*c.sim, row, column), out);
    }
  }
}

Status CopyAll(const std::vector<std::string>& files, bool check_existence,
               const std::string& dir) {
  std::set<std::string> done;
  int k = 0;
  for (const std::string& src : files) {
    ++k;
    if (!done.insert(src).second) continue;
    if (!FileExists(src)) {
      if (!check_existence) continue;
      return Fail("[CopySimFilesToDir]: File " + src + " does not exist. [k=" + std::to_string(k) +
                  "]");
    }
    if (auto s = CopyKeepingStamp(src, JoinPath(dir, FileNameOf(src)), true); !s) {
      return Forward(s, "CopySimFilesToDir");
    }
  }
  return Ok();
}

}  // namespace

std::vector<std::string> SlotCopySources(const JobContext& c, SlotCopy what, int run, int year) {
  std::vector<std::string> out;
  const bool all = what == SlotCopy::kAll;
  if (all || what == SlotCopy::kModel) AddModelFiles(c, out);
  if (all || what == SlotCopy::kDataInputs) AddDataInputs(c, run, year, out);
  if (all || what == SlotCopy::kUpdatedInputs) AddUpdatedInputs(c, run, year, out);
  if (all || what == SlotCopy::kCmfBits) AddCmfBits(c, year, out);
  if (all || what == SlotCopy::kCmfStart) {
    AddPieceAndNamedFiles(*c.sim, CMFStartFilePath(*c.sim, run), out);
  }
  return out;
}

Status CopySimFilesToDir(const JobContext& c, SlotCopy what, int run, int year,
                         bool check_existence, const std::string& dir) {
  return CopyAll(SlotCopySources(c, what, run, year), check_existence, dir);
}

Status PrepareSlotDirectories(const JobContext& c, const SlotPlan& plan) {
  const TSimRecord& sim = *c.sim;
  const int first = std::max(2, plan.first_slot);
  if (!plan.developer_mode) {
    for (int s = first; s <= plan.last_slot; ++s) {
      const std::string dir = SlotDirectory(sim, c.temp_dir, s);
      if (DirectoryExists(dir) && dir.size() > 8 &&
          !SameText(RemoveTrailingSep(dir), RemoveTrailingSep(c.program_dir))) {
        if (auto e = DeleteAllFilesInDir(dir); !e) return e;
      }
    }
  }
  // Everything the slots' solves may read; missing data of later years are made by
  // earlier solves of this big job and copied when those end.
  std::vector<std::string> required;
  AddModelFiles(c, required);
  AddDataInputs(c, kBase, 1, required);
  std::vector<std::string> optional;
  for (int run = kBase; run <= kPolicy; ++run) {
    if (plan.sim_first[run] > plan.sim_last[run]) continue;
    if (plan.sim_first[run] > 1) AddDataInputs(c, run, plan.sim_first[run], optional);
    AddPieceAndNamedFiles(sim, CMFStartFilePath(sim, run), required);
    for (int year = plan.sim_first[run]; year <= plan.sim_last[run]; ++year) {
      AddCmfBits(c, year, required);
    }
  }
  if (!c.mapping_file.empty()) required.push_back(c.mapping_file);

  for (int s = first; s <= plan.last_slot; ++s) {
    const std::string dir = SlotDirectory(sim, c.temp_dir, s);
    if (!DirectoryExists(dir) && !ForceDirectories(dir)) {
      return Fail("Cannot create directory " + dir);
    }
    if (auto e = CopyAll(required, true, dir); !e) return e;
    if (auto e = CopyAll(optional, false, dir); !e) return e;
  }
  return Ok();
}

}  // namespace yl
