// The stamps that need the Header Array reader.

#include "core/text_util.h"
#include "harfile/har_file.h"
#include "model/time_stamp.h"

namespace yl {

namespace {

std::string StampOf(const std::optional<HarHeader>& header) {
  if (!header) return std::string();
  return StampFromDtxt(header->type, header->string_length, header->strings);
}

}  // namespace

Result<std::string> GetTimeDateStamp(const std::string& path, const std::string& kind,
                                     const std::string& header_or_marker) {
  if (kind == "text") return Tag(TextFileStamp(path, header_or_marker), "GetTimeDateStamp");
  if (kind == "header" || kind == "binary") {
    auto header = ReadHeaderFromHarFile(path, header_or_marker);
    if (!header) return Forward(header, "GetTimeDateStamp");
    return StampOf(*header);
  }
  return Fail("Unexpected file type[GetTimeDateStamp]");
}

Result<std::string> ReadAuxTableStamp(const std::string& aux_table_path) {
  return GetTimeDateStamp(aux_table_path, "binary", "DTXT");
}

Result<std::string> AuxTableStamp(std::string_view bytes, const std::string& name) {
  auto header = ReadHeaderFromHarBytes(bytes, name, "DTXT");
  if (!header) return Forward(header, "GetTimeDateStamp");
  return StampOf(*header);
}

}  // namespace yl
