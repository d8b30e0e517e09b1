#pragma once
// Creation stamps that tie a Model Information file to its auxiliary table file: "#TMDATE"
// in the MIN and the "DTXT" header of the table file must agree.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/message.h"
#include "core/status.h"

namespace yl {

// A stamp as compared: at most 40 characters, control characters and trailing blanks
// removed. "" means no stamp.
std::string CleanStamp(std::string_view text);
// The stamp held by a "DTXT" header: a "1C" header with one string of 40 characters.
// "" when the header is of another shape.
std::string StampFromDtxt(std::string_view type, int string_length,
                          const std::vector<std::string>& strings);

// The stamp on the line after the marker line of a text file; "" when there is none.
Result<std::string> TextFileStamp(const std::string& path, const std::string& marker);
std::string TextStamp(const std::vector<std::string>& lines, const std::string& marker);

// Kind "header" or "binary" (a Header Array file and a header name) or "text" (a marker
// line). "" when the file has no such stamp; a file that cannot be read fails, with
// "[GetTimeDateStamp]" appended; any other kind gives "Unexpected file type".
Result<std::string> GetTimeDateStamp(const std::string& path, const std::string& kind,
                                     const std::string& header_or_marker);

// Reads the stamp of an auxiliary table file.
using AuxStampReader = std::function<Result<std::string>(const std::string& aux_table_path)>;
// The stamp of the "DTXT" header.
Result<std::string> ReadAuxTableStamp(const std::string& aux_table_path);
// The same over the bytes of the file held in memory, named `name` in messages.
Result<std::string> AuxTableStamp(std::string_view bytes, const std::string& name);

// True when both stamps are found and equal; a file that cannot be read fails with
// "[MinAxtCompatible]".
Result<bool> MinAxtCompatible(const std::string& min_path, const std::string& aux_table_path,
                              const AuxStampReader& read_aux = ReadAuxTableStamp);
// The error a user acting on the model is shown when the two do not belong together.
Message MinAxtMismatchMessage(const std::string& min_path, const std::string& aux_table_path,
                              int help_topic);

}  // namespace yl
