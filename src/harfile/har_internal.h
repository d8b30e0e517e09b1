#pragma once
// Pieces shared by the Header Array reader and writer; not part of the public API.

#include <string>
#include <string_view>

#include "harfile/har_file.h"

namespace yl::har_internal {

// Fresh set details: labelled by nobody, every dimension status 'u'.
SetDetails FreshSetDetails(int ndim);
// The reason the set details cannot be written as an "RE" header, or Ok.
Status ValidREDetails(const SetDetails& sets, int ndim);
std::string SizesText(const std::array<std::int32_t, 7>& sizes, int ndim);
// Dimension and total-size limits of a real array.
Status CheckRealSizes(const std::array<std::int32_t, 7>& sizes, int ndim);
bool StartsWithXX(std::string_view name);

HarHeader MakeCreationDateHeader(const std::string& creation_time);
HarHeader MakeCreatingProgHeader(const std::string& creating_program);
HarHeader MakeHistoryHeader();

}  // namespace yl::har_internal
