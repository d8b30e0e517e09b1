// The stamps that need the Header Array reader.

#include "core/text_util.h"
#include "harfile/har_file.h"
#include "model/time_stamp.h"

namespace yl {

Result<std::string> GetTimeDateStamp(const std::string& path, const std::string& kind,
                                     const std::string& header_or_marker) {
  if (kind == "text") return Tag(TextFileStamp(path, header_or_marker), "GetTimeDateStamp");
  if (kind == "header" || kind == "binary") {
    auto header = ReadHeaderFromHarFile(path, header_or_marker);
    if (!header) return Forward(header, "GetTimeDateStamp");
    if (!*header) return std::string();
    const HarHeader& h = **header;
    return StampFromDtxt(h.type, h.string_length, h.strings);
  }
  return Fail("Unexpected file type[GetTimeDateStamp]");
}

Result<std::string> ReadAuxTableStamp(const std::string& aux_table_path) {
  return GetTimeDateStamp(aux_table_path, "binary", "DTXT");
}

}  // namespace yl
