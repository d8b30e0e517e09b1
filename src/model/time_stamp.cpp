#include "model/time_stamp.h"

#include "core/text_util.h"
#include "platform/text_file.h"

namespace yl {

std::string CleanStamp(std::string_view text) {
  std::string s;
  for (char c : text.substr(0, 40)) {
    if (static_cast<unsigned char>(c) >= 32) s += c;
  }
  return TrimRight(s);
}

std::string StampFromDtxt(std::string_view type, int string_length,
                          const std::vector<std::string>& strings) {
  if (type != "1C" || string_length != 40 || strings.size() != 1) return "";
  return CleanStamp(strings.front());
}

Result<std::string> TextFileStamp(const std::string& path, const std::string& marker) {
  auto lines = ReadTextLines(path);
  if (!lines) return Fail(lines.error());
  return TextStamp(*lines, marker);
}

std::string TextStamp(const std::vector<std::string>& lines, const std::string& marker) {
  for (std::size_t i = 0; i + 1 < lines.size(); ++i) {
    if (TrimRight(lines[i]) == marker) return CleanStamp(lines[i + 1]);
  }
  return std::string();
}

Result<bool> MinAxtCompatible(const std::string& min_path, const std::string& aux_table_path,
                              const AuxStampReader& read_aux) {
  auto min_stamp = GetTimeDateStamp(min_path, "text", "#TMDATE");
  if (!min_stamp) return Forward(min_stamp, "MinAxtCompatible");
  auto aux_stamp = read_aux(aux_table_path);
  if (!aux_stamp) return Forward(aux_stamp, "MinAxtCompatible");
  return !min_stamp->empty() && !aux_stamp->empty() && *min_stamp == *aux_stamp;
}

Message MinAxtMismatchMessage(const std::string& min_path, const std::string& aux_table_path,
                              int help_topic) {
  return ErrorMessage("Model Information File " + UpperCase(min_path) +
                          " was not created at the same time as the Auxiliary Table File " +
                          UpperCase(aux_table_path),
                      help_topic, kOk);
}

}  // namespace yl
