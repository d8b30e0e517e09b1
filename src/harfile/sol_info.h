#pragma once
// The solution-information file (".sli") a model program writes beside each solution:
// the model's sets and variables with their closure status, read into a SolInfoRec.

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "core/status.h"
#include "harfile/har_file.h"

namespace yl {

// Data items, numbered as in requests; kSolInfoKeywords[i] is the section keyword of item i.
inline constexpr int kSolInfoItems = 22;
extern const std::array<const char*, kSolInfoItems> kSolInfoKeywords;
enum SolInfoItem : int {
  kSiFiles = 0,
  kSiTabFile = 1,
  kSiTmDate = 2,
  kSiStiFile = 3,
  kSiSets = 4,
  kSiVariables = 5,
  kSiVcStat = 6,
  kSiVcTp = 7,
  kSiVbDsc = 18,
  kSiSvVer = 19,
  kSiPrVer = 20,
};
// What this program asks for: sets, variables, closure status and type, descriptions.
inline const std::vector<int> kProgramSolInfoRequest = {4, 5, 6, 7, 18};

inline constexpr int kMaxSolInfoSets = 1000;
inline constexpr std::int32_t kMaxSolInfoVariables = 19'884'107;
inline constexpr int kMaxDescLines = 100;

struct TVarRec {
  std::int32_t components = 0;  // -1 when a set of the variable has unknown size
  std::string name;             // up to 15 characters
  std::string label;
  std::int32_t exogenous = 0;  // number of exogenous components
  std::int32_t arguments = 0;
  std::string set_text;  // its sets' names joined by "*"
  std::string upper_name;
  std::array<std::int32_t, 7> set_numbers{};  // 1-based numbers in the sets list
  char status = ' ';                          // X, N, B, ?, s, o or x
  char vcstat = ' ';                          // 'b' or 'c' from "#VCSTAT"
  char vctp = ' ';                            // 'p' or 'c' from "#VCTP"
  bool from_ncvariables = false;
  // When component flags were asked for: flags[c - 1] says whether component c is exogenous.
  std::vector<bool> exo_flags;
  bool IsExogenous(std::int32_t component) const;
};

struct SolInfoOptions {
  bool lower_case_keys = false;  // variable names compared without regard to case
  bool component_flags = false;  // build the per-component exogenous flags
};

struct SolInfoRec {
  bool sets_read = false;
  std::vector<TSetRec> sets;
  std::vector<TVarRec> variables;
  std::vector<std::string> description;  // "#VBDSC": at most 100 lines
  std::int32_t SVVER = 0;
  std::int32_t PRVER = 0;
  std::string TMDATE;
  std::string STIFILE;
  std::string TABFILE;
  std::array<bool, kSolInfoItems> items_read{};
  std::map<std::string, std::int32_t> name_index;  // key -> 1-based variable number

  // The 1-based number of the variable of that name (lowered), or 0.
  std::int32_t Lookup(std::string_view name) const;
};

void FreeSolInfo(SolInfoRec& rec);
// Clears the record, then reads the file.
Status RequestSolInfo(const std::string& path, const std::vector<int>& items,
                      const SolInfoOptions& options, SolInfoRec& rec);
// Reads the file into the record as it stands.
Status AddSolInfo(const std::string& path, const std::vector<int>& items,
                  const SolInfoOptions& options, SolInfoRec& rec);
// The section reader over the file's lines.
Status GetModelInfo(const std::vector<std::string>& lines, const std::vector<int>& items,
                    const SolInfoOptions& options, SolInfoRec& rec);

}  // namespace yl
