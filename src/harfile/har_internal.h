#pragma once
// Pieces shared by the Header Array reader and writer; not part of the public API.

#include <string>
#include <string_view>

#include "harfile/har_file.h"
#include "harfile/record_file.h"

namespace yl::har_internal {

// Fresh set details: labelled by nobody, every dimension status 'u'.
SetDetails FreshSetDetails(int ndim);
// The reason the set details cannot be written as an "RE" header, or Ok.
Status ValidREDetails(const SetDetails& sets, int ndim);
std::string SizesText(const std::array<std::int32_t, 7>& sizes, int ndim);
// Dimension and total-size limits of a real array.
Status CheckRealSizes(const std::array<std::int32_t, 7>& sizes, int ndim);
bool StartsWithXX(std::string_view name);

// Completes a header read without its data ("1C": strings is the number it holds).
Status CompleteHeaderWithoutData(HarHeader& header, std::int64_t strings);

// Moves past the data records of a header whose details were just read, in one step
// when they lie as the writer lays them out. False, with the position unchanged (or just
// after a sparse head), when they do not: the caller then walks them record by record.
bool JumpOverHeaderData(RecordFile& f, const HarHeader& details);

// How a full real array is cut into data records: dimensions 0..kd-1 (p values) go whole
// into each record, dimension kd in runs of `run` (`runs` of them, the last `last_run`
// long), and every combination of the dimensions above kd (`outer`) repeats that.
struct RealRecordRuns {
  int kd = 0;
  std::int64_t p = 1;
  std::int64_t run = 1;
  std::int64_t runs = 1;
  std::int64_t last_run = 1;
  std::int64_t outer = 1;
};
RealRecordRuns RealRecordLayout(const std::array<std::int32_t, 7>& sizes);

HarHeader MakeCreationDateHeader(const std::string& creation_time);
HarHeader MakeCreatingProgHeader(const std::string& creating_program);
HarHeader MakeHistoryHeader();

}  // namespace yl::har_internal
