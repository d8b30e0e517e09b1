// Feeds a results-mapping file to its reader, resolves each entry against a variable of
// that name (scalar, and over a set of three elements), and checks that the map written
// for a closure reads back with the same variables.

#include <cstdint>
#include <string>

#include "fuzz_support.h"
#include "toolfiles/mapping_file.h"
#include "toolfiles/solution_data.h"

using yl::toolfiles::ResultVariable;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  auto entries =
      yl::toolfiles::ParseMapping(yl::SplitLines(yl::fuzz::Text(data, size)), "fuzz.map");
  if (!entries) return 0;
  yl::toolfiles::ResultsData closure;
  for (const auto& e : *entries) {
    ResultVariable scalar{e.name, "", "", {}, 'p', {}, {}};
    ResultVariable vector{e.name, "", "COM", {"AGR", "MAN", "SER"}, 'c', {}, {}};
    for (const ResultVariable* v : {&scalar, &vector}) {
      auto components = yl::toolfiles::ComponentsOf(e, *v, "fuzz.map");
      if (!components) continue;
      for (int c : *components) {
        if (c < 0 || c >= v->Size()) __builtin_trap();
      }
    }
    if (closure.Find(e.name) == nullptr && closure.variables.size() < 100) {
      vector.exogenous = {true, e.elements.empty(), false};
      closure.variables.push_back(vector);
    }
  }
  auto back = yl::toolfiles::ParseMapping(
      yl::SplitLines(yl::toolfiles::FormatExogenousMap(closure, "fuzz")), "back.map");
  if (!back || back->size() != closure.variables.size()) __builtin_trap();
  for (std::size_t i = 0; i < back->size(); ++i) {
    if ((*back)[i].name != closure.variables[i].name) __builtin_trap();
  }
  return 0;
}
