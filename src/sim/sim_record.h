#pragma once
// The simulation record: the whole definition of a set of runs (Base, Rerun, Policy).
// Field names follow the stored files and the rest of the program; every table is
// range-checked, so an index out of range is an internal error and never a stray write.

#include <array>
#include <string>

#include "core/range_array.h"

namespace yl {

inline constexpr int kMaxPeriods = 999;
inline constexpr int kMaxLogicalFiles = 50;
inline constexpr int kNumRuns = 3;

enum Run : int { kBase = 1, kRerun = 2, kPolicy = 3 };

// Dynamic roles of an ordinary logical file.
enum FileRole : int { kOutputOnly = 0, kUpdatedInput = 1, kLaggedInput = 2, kConstantInput = 3 };

// One logical file as the Model Information file lists it.
struct TMinFileEntry {
  std::string Name;         // up to 20 characters
  bool IsInput = false;     // the file is read
  bool IsUpdated = false;   // the model writes an updated version
  bool Special = false;     // the name begins with "("
  std::string Type;         // 3 characters
  std::string Description;  // up to 80 characters
  bool operator==(const TMinFileEntry&) const = default;
};

// One ordinary logical file with its dynamic role.
struct TDinFileEntry {
  std::string Name;  // as in the MIN
  std::string Type;  // "HAR" or "TXT"; the generated files' extension
  std::string Key;   // begins every generated file name of this logical file
  bool IsInput = false;
  bool IsUpdated = false;
  std::string Description;
  int Role = kOutputOnly;
  int LagOf = 0;  // for a lagged input: the DinFiles number it lags; 0 otherwise
  // [0]: the logical file whose data this file reads; [1..3]: per run, the run whose
  // version of the data that run reads.
  std::array<int, 4> Usage{0, 1, 2, 3};
  bool operator==(const TDinFileEntry&) const = default;
};

struct TYearloomFileNames {
  bool LongNames = true;
  std::string Separator = "-";
  bool AddRunLetter = true;
  bool AddNextYear = true;
  bool operator==(const TYearloomFileNames&) const = default;
};

// Closure/shock table columns.
enum CmfColumn : int { kBaseClosure = 1, kBaseShocks = 2, kPolicyClosure = 3, kPolicyShocks = 4 };
inline constexpr int kCmfStartRow = -1;
inline constexpr int kCommonRow = 0;

struct TSimRecord {
  int NumYears = 0;
  int FirstYear = 0;
  RangeArray<std::string, 1, 3> SimNames;
  int NumMinFiles = 0;
  RangeArray<TMinFileEntry, 1, kMaxLogicalFiles> MinFiles;
  int NumDinFiles = 0;
  RangeArray<TDinFileEntry, 1, kMaxLogicalFiles> DinFiles;
  RangeTable<std::string, -1, kMaxPeriods, 1, 4> CMFCells;
  RangeArray<std::string, 1, 4> CMFStartExt;
  RangeTable<std::string, -1, kMaxPeriods, 1, 4> CMFFullNames;
  RangeArray<bool, 1, 3> RunFlags;
  std::string SimDir;
  RangeTable<bool, -1, kMaxPeriods, 1, 4> CMFExists;
  RangeArray<int, 1, kMaxPeriods> LengthPeriods;
  RangeArray<int, -1, kMaxPeriods> Years;
  TYearloomFileNames FileNames;
  RangeArray<bool, 1, kMaxPeriods> AltMethodYears;
  bool AltMethodInUse = false;
  bool operator==(const TSimRecord&) const = default;
};

}  // namespace yl
