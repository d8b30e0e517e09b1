// yearloom-har: lists, prints and builds Header Array files.

#include <cstdio>
#include <string>
#include <vector>

#include "core/number_text.h"
#include "core/text_util.h"
#include "env/har_settings.h"
#include "harfile/har_build.h"
#include "harfile/har_file.h"
#include "harfile/har_text.h"
#include "platform/files.h"

namespace {

constexpr const char* kHelp =
    "Usage:\n"
    "  yearloom-har list FILE            one line per header: name, type, storage,\n"
    "                                    dimensions joined by \"*\", description\n"
    "                                    (for 1C headers: strings*length)\n"
    "  yearloom-har values FILE HEADER   every value of the header, one per line, first\n"
    "                                    index fastest; strings one per line\n"
    "  yearloom-har build TEXTFILE OUT [CREATED]\n"
    "                                    builds a Header Array file from a text\n"
    "                                    description (see docs/har-text-format.md);\n"
    "                                    CREATED (\"12:00:00 01-Jun-2025\") fixes the\n"
    "                                    creation stamp, so the same text gives the\n"
    "                                    same bytes; default: now\n"
    "  yearloom-har --help               this text\n"
    "Errors go to standard error with exit status 1.\n";

int Error(const std::string& text) {
  std::fprintf(stderr, "yearloom-har: %s\n", text.c_str());
  return 1;
}

std::string Dims(const yl::HarHeaderInfo& info) {
  const yl::HarHeader& h = info.header;
  if (h.type == "1C")
    return std::to_string(info.string_count) + "*" + std::to_string(h.string_length);
  if (h.type == "2I") return std::to_string(h.rows) + "*" + std::to_string(h.cols);
  if (h.NDim == 0) return "1";
  std::string t;
  for (int i = 0; i < h.NDim; ++i) {
    if (i > 0) t += '*';
    t += std::to_string(h.sizes[i]);
  }
  return t;
}

// Headers only: the data of the others is skipped, so a big file lists at once.
int List(const std::string& path) {
  auto list = yl::ListHarHeaders(path);
  if (!list) return Error(list.error());
  for (const yl::HarHeaderInfo& info : *list) {
    const yl::HarHeader& h = info.header;
    std::printf("%-4s  %-2s  %-4s  %-12s  %s\n", h.name.c_str(), h.type.c_str(), h.storage.c_str(),
                Dims(info).c_str(), h.description.c_str());
  }
  return 0;
}

int Values(const std::string& path, const std::string& name) {
  auto h = yl::ReadHeaderFromHarFile(path, name);
  if (!h) return Error(h.error());
  if (!*h) return Error("no header " + yl::Trim(name) + " in " + path);
  const yl::HarHeader& hd = **h;
  if (hd.type == "1C") {
    for (const std::string& s : hd.strings) std::printf("%s\n", s.c_str());
  } else if (hd.type == "2I") {
    for (std::int32_t v : hd.ints) std::printf("%d\n", v);
  } else {
    for (float v : hd.values.values())
      std::printf("%s\n",
                  yl::FormatReal(static_cast<double>(v), yl::RealFormat::General(9)).c_str());
  }
  return std::fflush(stdout) == 0 ? 0 : Error("cannot write the output");
}

int Build(const std::string& text_path, const std::string& out, const std::string& created) {
  auto text = yl::ReadWholeFile(text_path);
  if (!text) return Error(text.error());
  auto f = yl::ParseHarText(*text);
  if (!f) return Error(text_path + ": " + f.error());
  yl::HarWriteOptions options;
  options.use_sparse = yl::ReadUseSparse();
  if (auto r = yl::WriteHarFile(out, "yearloom-har",
                                created.empty() ? yl::HarCreationTimeNow() : created, *f, options);
      !r)
    return Error(r.error());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty()) {
    std::fputs(kHelp, stderr);
    return 1;
  }
  if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
    std::fputs(kHelp, stdout);
    return 0;
  }
  if (args[0] == "list" && args.size() == 2) return List(args[1]);
  if (args[0] == "values" && args.size() == 3) return Values(args[1], args[2]);
  if (args[0] == "build" && (args.size() == 3 || args.size() == 4)) {
    return Build(args[1], args[2], args.size() == 4 ? args[3] : "");
  }
  std::fputs(kHelp, stderr);
  return 1;
}
