#pragma once
// Small builders for the headers that programs write into new files: string lists,
// integer tables and numbered header names, each failing with the library's error text.

#include <string>
#include <vector>

#include "core/status.h"
#include "harfile/har_file.h"

namespace yl {

// A "1C" header; strings longer than a file keeps are cut. A 1C header holds at least
// one string, so an empty list becomes one blank.
Result<HarHeader> StringHeader(const std::string& name, const std::string& description,
                               const std::vector<std::string>& strings);

// A "2I" header of rows x cols values, row index fastest.
Result<HarHeader> IntHeader(const std::string& name, const std::string& description, int rows,
                            int cols, const std::vector<int>& values);

// "C001"-style header name: a one-letter prefix and a three-digit number.
std::string NumberedName(char prefix, int number);

// Appends a header built by one of the builders, or passes on why it could not be built.
Status AddBuiltHeader(HarFile& file, Result<HarHeader> header);

// The local time in the form new files carry as their creation time.
std::string HarCreationTimeNow();

}  // namespace yl
