#include "sim/job_kinds.h"

#include <array>
#include <utility>

namespace yl {

namespace {

constexpr std::array<std::pair<JobKind, std::string_view>, 9> kJobNames{{
    {JobKind::kNone, ""},
    {JobKind::kSim, "sim"},
    {JobKind::kBot, "bot"},
    {JobKind::kCsv, "csv"},
    {JobKind::kSsSol, "sssol"},
    {JobKind::kTallyr, "tallyr"},
    {JobKind::kCumSol, "cumsol"},
    {JobKind::kVarix, "varix"},
    {JobKind::kDevSol, "devsol"},
}};

constexpr std::array<std::pair<PartKind, std::string_view>, 13> kPartNames{{
    {PartKind::kNone, ""},
    {PartKind::kSim, "sim"},
    {PartKind::kSol, "sol"},
    {PartKind::kEnv, "env"},
    {PartKind::kAmbix1, "ambix1"},
    {PartKind::kSolex1, "solex1"},
    {PartKind::kSolPol, "solpol"},
    {PartKind::kAmbix2, "ambix2"},
    {PartKind::kCsv, "csv"},
    {PartKind::kSsSol, "sssol"},
    {PartKind::kYonY, "yony"},
    {PartKind::kCum, "cum"},
    {PartKind::kPy, "py"},
}};

template <typename Kind, std::size_t N>
std::string_view NameOf(const std::array<std::pair<Kind, std::string_view>, N>& table, Kind k) {
  for (const auto& [kind, name] : table) {
    if (kind == k) return name;
  }
  return "";
}

template <typename Kind, std::size_t N>
std::optional<Kind> KindOf(const std::array<std::pair<Kind, std::string_view>, N>& table,
                           std::string_view name) {
  if (name.empty()) return std::nullopt;
  for (const auto& [kind, n] : table) {
    if (n == name) return kind;
  }
  return std::nullopt;
}

}  // namespace

std::string_view JobName(JobKind job) { return NameOf(kJobNames, job); }
std::string_view PartName(PartKind part) { return NameOf(kPartNames, part); }
std::optional<JobKind> JobKindNamed(std::string_view name) { return KindOf(kJobNames, name); }
std::optional<PartKind> PartKindNamed(std::string_view name) { return KindOf(kPartNames, name); }

}  // namespace yl
