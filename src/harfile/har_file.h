#pragma once
// Header Array ("HAR") files held whole in memory: a list of named headers, each a set
// of strings ("1C"), a 2-D integer array ("2I") or a real array of up to seven
// dimensions with optional set labels ("RE"). Reading and writing go through the record
// layer (record_file.h) in either framing variant. Every operation returns a value or an
// error text with " [Routine]" suffixes, innermost first.

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/status.h"

namespace yl {

inline constexpr int kMaxHeaders = 8000;
inline constexpr int kMaxHarDims = 7;
inline constexpr std::int32_t kMaxDimSize = 33'554'430;
inline constexpr std::int64_t kMaxArrayElements = 268'435'455;
inline constexpr std::size_t kMaxKeptStringLen = 255;
inline constexpr int kMaxValuesPerRecord = 7000;
inline constexpr int kMaxSparsePerRecord = 2333;
inline constexpr int kHistoryStringLen = 60;
inline constexpr int kSetNameLen = 12;

// A zero-filled block of single-precision reals. Large blocks come straight from the
// system as untouched zero pages, so a mostly-empty array costs little real memory, and
// are backed by huge pages where the system offers them: touching hundreds of megabytes
// page by page costs far more than the copying itself. Copies are deep.
class RealArray {
 public:
  RealArray() = default;
  RealArray(const RealArray& other);
  RealArray& operator=(const RealArray& other);
  RealArray(RealArray&&) noexcept = default;
  RealArray& operator=(RealArray&&) noexcept = default;

  // "pointer should be nil", "Size<0" or "Out of Memory", each with " [SafeGetMem]".
  Status Allocate(std::int64_t count);
  void Reset();
  bool allocated() const { return allocated_; }
  std::int64_t size() const { return size_; }
  float* data() { return data_.get(); }
  const float* data() const { return data_.get(); }
  float& operator[](std::int64_t i) { return data_.get()[i]; }
  float operator[](std::int64_t i) const { return data_.get()[i]; }
  std::span<float> values() { return {data_.get(), static_cast<std::size_t>(size_)}; }
  std::span<const float> values() const { return {data_.get(), static_cast<std::size_t>(size_)}; }

 private:
  struct FreeDeleter {
    FreeDeleter() noexcept : mapped_bytes(0) {}
    explicit FreeDeleter(std::size_t bytes) noexcept : mapped_bytes(bytes) {}
    void operator()(float* p) const;
    std::size_t mapped_bytes;  // 0: from malloc
  };
  std::unique_ptr<float[], FreeDeleter> data_;
  std::int64_t size_ = 0;
  bool allocated_ = false;
};

// The set labelling of a real array, as in the file's set-information record. Index 0
// is dimension 1. RDelst: 'k' set with known elements, 'u' set with unknown elements,
// 'e' a single element of a set (the dimension has size 1).
struct SetDetails {
  std::int32_t SetsToRead = 0;
  bool acdmkn = true;
  std::int32_t acdim = 0;
  std::string coeff_name;
  bool stknow = false;
  std::array<std::string, kMaxHarDims> StName{};
  std::array<char, kMaxHarDims> RDelst{'u', 'u', 'u', 'u', 'u', 'u', 'u'};
  std::array<std::int32_t, kMaxHarDims> elno{};
  std::int32_t NEltrd = 0;
  std::array<std::string, kMaxHarDims> eltnam{};  // the element of each 'e' dimension
  // Element names of 'k' dimensions (one per index) and of 'e' dimensions (one name).
  std::array<std::vector<std::string>, kMaxHarDims> elements{};
};

// A set as used when adding a dimension (and as read from solution-information files).
struct TSetRec {
  std::int32_t size = 0;
  std::string name;
  std::string description = "No description";
  bool elements_known = false;
  std::vector<std::string> elements;
};

struct HarHeader {
  std::string name = "    ";  // 4 characters, upper case, blank-padded
  std::string description;    // at most 70 printable characters
  std::string type;           // "1C", "2I", "RE" ("RL" until completed)
  std::string storage = "FULL";

  // "1C": the strings, each at most 255 characters, written with string_length.
  std::int32_t string_length = 0;
  std::vector<std::string> strings;

  // "2I": rows x cols integers, row index fastest.
  std::int32_t rows = 0;
  std::int32_t cols = 0;
  std::vector<std::int32_t> ints;

  // Real arrays: NDim used dimensions of the seven sizes, values first index fastest.
  int NDim = 0;
  std::array<std::int32_t, kMaxHarDims> sizes{1, 1, 1, 1, 1, 1, 1};
  RealArray values;
  SetDetails sets;
  std::int64_t element_count = 0;
  std::int64_t nonzero_count = 0;  // set when written

  std::string size_text;        // e.g. "COM*REG*3" (up to 80 characters)
  std::string short_size_text;  // e.g. "10*5*3" (up to 30 characters)

  bool IsReal() const { return type == "RE" || type == "RL"; }
  // Position of a value in `values` from 1-based indices (missing ones are 1).
  std::int64_t Offset(std::initializer_list<std::int32_t> index) const;
};

struct HarFile {
  std::vector<HarHeader> headers;  // the ordinary headers, at most 8000
  std::optional<HarHeader> XXCD;   // creation date
  std::optional<HarHeader> XXCR;   // creating program
  std::optional<HarHeader> XXHS;   // history
  std::optional<HarHeader> XXFF;   // kept when read, never written
  bool fujitsu = false;            // the record variant it was read from; new files Lahey
  double total_reals = 0;          // values held in its RE headers

  // The header of that name (normalised), ordinary or special; nullptr when absent.
  HarHeader* Find(std::string_view name);
  const HarHeader* Find(std::string_view name) const;
};

// --- Reading -------------------------------------------------------------------------

struct HarReadOptions {
  // Pass over headers whose description cannot be read instead of failing.
  bool skip_bad_details = false;
};

// Reads every header; XX headers come first, the others keep the file order. When
// bad_headers is given it says whether any header was passed over.
Result<HarFile> ReadHarFile(const std::string& path, const HarReadOptions& options = {},
                            bool* bad_headers = nullptr);
// Reads every header of the file into an existing HarFile (the variant becomes the file's).
Status ReadMoreIntoHarFile(const std::string& path, HarFile& file,
                           const HarReadOptions& options = {}, bool* bad_headers = nullptr);
// The first header of that name; no header (and success) when the file has none.
Result<std::optional<HarHeader>> ReadHeaderFromHarFile(const std::string& path,
                                                       std::string_view name,
                                                       const HarReadOptions& options = {});
// The same over the bytes of a file held in memory, named `file_name` in messages.
Result<HarFile> ReadHarBytes(std::string_view bytes, const std::string& file_name,
                             const HarReadOptions& options = {}, bool* bad_headers = nullptr);
Result<std::optional<HarHeader>> ReadHeaderFromHarBytes(std::string_view bytes,
                                                        const std::string& file_name,
                                                        std::string_view name,
                                                        const HarReadOptions& options = {});

// --- One header without reading the rest ---------------------------------------------
// These find each header by skipping the data records of the ones before it: when the
// records sit where this program's writer puts them, the whole of a header's data is
// passed in one step (the landing point is checked against the last record's framing);
// otherwise the records are passed one by one by their lengths. Either way no data is
// read, so the time depends on the number of headers rather than the size of the file.

// What the file says about one header, without its data: a completed header with no
// strings, integers or values ("RL" and "2R" headers show as "RE", as when read).
struct HarHeaderInfo {
  HarHeader header;
  std::int64_t string_count = 0;  // "1C": the number of strings it holds
};

// Every header of the file, in file order.
Result<std::vector<HarHeaderInfo>> ListHarHeaders(const std::string& path);
// Only the headers of those names (compared normalised), read in full into a HarFile
// as ReadHarFile would place them; absent names are simply missing from it. The
// file's other headers are skipped, and so are their problems.
Result<HarFile> ReadHeadersFromHarFile(const std::string& path,
                                       const std::vector<std::string>& names,
                                       const HarReadOptions& options = {});
// The same two over the bytes of a file held in memory, named `file_name` in messages.
Result<std::vector<HarHeaderInfo>> ListHarHeaderBytes(std::string_view bytes,
                                                      const std::string& file_name);
Result<HarFile> ReadHeadersFromHarBytes(std::string_view bytes, const std::string& file_name,
                                        const std::vector<std::string>& names,
                                        const HarReadOptions& options = {});

// --- Writing -------------------------------------------------------------------------

struct HarWriteOptions {
  // Write real arrays with more than 70% zeros in sparse storage (see ReadUseSparse in
  // env/har_settings.h for the user's setting).
  bool use_sparse = false;
};

// Writes the whole file. Replaces the creation-date and creating-program headers and
// normalises header names on the way; any illegal or repeated name stops the write.
Status WriteHarFile(const std::string& path, const std::string& creating_program,
                    const std::string& creation_time, HarFile& file,
                    const HarWriteOptions& options = {});
// The same into memory: the bytes of the file.
Result<std::string> WriteHarBytes(const std::string& creating_program,
                                  const std::string& creation_time, HarFile& file,
                                  const HarWriteOptions& options = {});

// --- Building ------------------------------------------------------------------------

Result<HarFile> NewHarFile(const std::string& creating_program, const std::string& creation_time,
                           bool sort);
// Completes the header and appends it; refuses an 8001st header.
Status AddHeaderNil(HarFile& file, HarHeader header);
// Recomputes the totals, creates missing XXCD/XXCR/XXHS headers and sorts when asked.
Status CompleteHarFile(HarFile& file, bool sort);
// Validates and normalises every header name. Returns the first problem found (an
// illegal name or a repeated one), or "" when all is well.
std::string CheckHarFile(HarFile& file);

Result<HarHeader> Create1C(std::string_view name, std::string_view description,
                           const std::vector<std::string>& strings, std::int32_t string_length);
Result<HarHeader> CreateUnLabelledRE(std::string_view name, std::string_view description, int NDim,
                                     const std::array<std::int32_t, 7>& sizes, bool allocate);
// A 2-D integer header of rows x cols zeros.
Result<HarHeader> Create2I(std::string_view name, std::string_view description, std::int32_t rows,
                           std::int32_t cols);
// A new RE header with one more dimension (first, or after the last); its array is
// allocated and zero.
Result<HarHeader> AddADim(const HarHeader& header, const TSetRec& set, bool first);
Result<HarHeader> CloneHeader(const HarHeader& header);
// Normalises the name and description, turns "RL" into "RE", fills the counts and texts.
Status CompleteHeaderRecord(HarHeader& header);

// Turns a header into "RE" with fresh, unlabelled set details.
void TurnRLtoRE(HarHeader& header);
// Labels dimension dim (0-based) of a real header with a set; elements may be empty
// (status 'u') or hold one name per index (status 'k').
Status SetDimensionSet(HarHeader& header, int dim, std::string_view set_name,
                       const std::vector<std::string>& elements);
void SetCoefficientName(HarHeader& header, std::string_view name);

// --- Header names --------------------------------------------------------------------

// The printable characters ("!".."~") of the text, upper-cased, first four, blank-padded.
std::string NormaliseHeaderName(std::string_view text);
// The name check used before writing; the reason text when the name is illegal.
Status CheckHeaderName(std::string_view name);
// "0012" for 12: decimal, left-padded with "0" to 4 characters, cut to 4.
std::string HeaderNameFromNumber(long number);
// XX headers first (in their order), the others by name.
void SortHeaders(HarFile& file);

// The NDim of seven sizes: the position of the last size that is not 1, or 1.
int NDimOfSizes(const std::array<std::int32_t, 7>& sizes);

}  // namespace yl
