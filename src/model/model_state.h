#pragma once
// The chosen model: its program, the companion files written with it, and what its Model
// Information file and its own release check said about it. Saved with the options.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace yl {

// Release information reported by the model program itself; -1 and "" mean unknown.
struct ModelReleaseInfo {
  int SvRelease = -1;       // "Simulation Program SV Release"
  int ProgramVersion = -1;  // "Simulation Program Version"
  std::string Compiler;     // "Simulation Program Compiler"
  bool operator==(const ModelReleaseInfo&) const = default;
};

// The release found in the MIN ("#SVVER" and "#PRVER").
struct MinRelease {
  int Release = 0;
  int Version = 0;
  bool operator==(const MinRelease&) const = default;
};

struct ModelState {
  std::string ModelFile;  // full path of the model program or ".kvs" file; "" when none
  std::string ModelDir;
  std::string ModelName;       // file name without extension
  bool IsExe = false;          // a model executable rather than a ".kvs" statement file
  std::string ProgramToRun;    // the executable itself, or the interpreter for a ".kvs" model
  bool NotWinconsole = false;  // the user's "not a console program" check box
  std::string TabFileName;     // file name only, from "#TABFILE"
  std::string StiFileName;     // file name only, from "#STIFILE"; "" for "%none"
  std::optional<MinRelease> MinWrittenBy;
  ModelReleaseInfo Release;
  std::vector<std::string> MinEntryLines;  // the MIN's entry lines, special files aside
  bool operator==(const ModelState&) const = default;
};

// Identity of the MIN and DIN files the record's logical files came from.
struct TMinDinInfo {
  std::string MinPath;
  std::string DinPath;
  std::uint32_t MinFileAge = 0;  // FileId of the MIN
  std::uint32_t DinFileAge = 0;  // 0 when there is no DIN
  bool DinExists = false;
  bool operator==(const TMinDinInfo&) const = default;
};

inline constexpr char kNoModelLabel[] = "(None selected)";

bool HasModel(const ModelState& m);
// "Model: {path}", or "(None selected)".
std::string ModelLabel(const ModelState& m);
// Forgets the model (the program's "no model" state); the not-winconsole box is unticked.
void ClearModel(ModelState& m, TMinDinInfo& info);

// ".exe", no extension (a Linux executable) or ".kvs", any case.
bool IsModelProgramName(const std::string& path);
bool IsKvsModel(const std::string& path);
// The companion file name: the model path with its extension replaced (or added).
std::string CompanionPath(const std::string& model_path, const std::string& ext);
// The companion found on disk without regard to case; nullopt when missing.
std::optional<std::string> FindCompanion(const std::string& model_path, const std::string& ext);
// The auxiliary table file's extension: ".axt" for an executable, ".kvt" for a ".kvs".
std::string AuxTableExt(const std::string& model_path);

// Sets file, directory, name, kind and program to run for a model path. A ".kvs" model
// runs through the interpreter, when one was found.
void SetModelFile(ModelState& m, const std::string& model_path,
                  const std::optional<std::string>& interpreter);

}  // namespace yl
