#pragma once
// Header Array files as our model program uses them: data files read into the model's
// records (and kept whole, so an updated file keeps every header of its input), small
// builders for the headers of the solution and environment files, and writing.

#include <string>
#include <vector>

#include "core/status.h"
#include "harfile/har_build.h"
#include "harfile/har_file.h"
#include "modelcore/model_types.h"

namespace yl::modelprog {

// A data file as read: the file itself and its real headers as model records.
struct LoadedData {
  std::string path;
  HarFile har;
  model::DataFile data;
  std::vector<model::SetInfo> sets;  // the sets labelling its headers, first seen first
};

Result<LoadedData> ReadDataFile(const std::string& path, const std::string& logical);

// The set of `header`'s dimension 1 (nullptr when it is unlabelled or a scalar).
const model::SetInfo* SetOfHeader(const LoadedData& file, const std::string& header);

// A copy of `input` with the values of every header that `values` holds replaced (same
// header names, same sizes); headers `values` does not hold stay as they were.
Result<HarFile> ReplaceValues(const HarFile& input, const model::DataFile& values);

// A new file from model records; sets named by the arrays must be among `sets`.
Result<HarFile> HarFromData(const model::DataFile& data, const std::vector<model::SetInfo>& sets);

// A real header over one labelled set, or a scalar stored as one value; values that are
// not numbers are refused. The other builders are in harfile/har_build.h.
Result<HarHeader> RealHeader(const std::string& name, const std::string& description,
                             const std::string& coefficient, const std::string& set,
                             const std::vector<std::string>& elements,
                             const std::vector<double>& values);

// Writes the file at `path`; the creation time is now.
Status WriteHar(const std::string& path, const std::string& program, HarFile& file);

}  // namespace yl::modelprog
