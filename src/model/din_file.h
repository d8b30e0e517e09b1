#pragma once
// The Dynamic Information file (DIN): keys and dynamic roles of the model's ordinary
// logical files, on top of defaults derived from the MIN entries.

#include <string>
#include <vector>

#include "core/message.h"
#include "core/status.h"
#include "sim/sim_record.h"

namespace yl {

inline constexpr int kHelpDinProblem = 7082;

// Rebuilds DinFiles from MinFiles: every non-special entry, in MIN order.
void SetDinDefaults(TSimRecord& rec);

// The words of a DIN line: blanks and tabs separate, "=", ";", "(" and ")" stand alone,
// a word beginning with a double quote runs to the next one (quotes kept) or line end.
std::vector<std::string> DinWords(const std::string& line);

// The DinFiles number of a logical name (case and surrounding blanks ignored; the last
// match counts); 0 when unknown.
int FindDinFile(const TSimRecord& rec, const std::string& name);

// Applies one line (comments and empty lines allowed) to the record. The failure text is
// the syntax message without its DIN-file framing.
Status ParseDinLine(const std::string& line, TSimRecord& rec);

// The consistency rules in their order, then the duplicate-key rule; the failure text is
// the one message.
Status CheckDinConsistency(const TSimRecord& rec);

// Defaults, then every line, then the consistency check; a failure adds its error (OK and
// Help) to notices and returns false. A missing DIN is not an error. What was read before an
// error stays in the record.
bool ReadDin(const std::string& din_path, TSimRecord& rec, Notices& notices,
             int help_topic = kHelpDinProblem);
// The same over the lines of a DIN already read; din_path only names it in messages.
bool ReadDinLines(const std::vector<std::string>& lines, const std::string& din_path,
                  TSimRecord& rec, Notices& notices, int help_topic = kHelpDinProblem);

// A record that comes from elsewhere (a sim store) must also agree with its MIN entries
// the way DIN defaults do: the ordinary MIN entries in order, with their input and update
// flags, since a DIN can change neither. Then the consistency rules.
Status CheckDinAgainstMin(const TSimRecord& rec);

// "Problem with Model Information on DIN file\r\n{path}\r\n{message}\r\nUse menu item ..."
std::string DinProblemMessage(const std::string& din_path, const std::string& message);
// Runs the consistency check after the roles changed; reports a failure as ReadDin does.
bool CheckDinAndReport(const std::string& din_path, const TSimRecord& rec, Notices& notices,
                       int help_topic = kHelpDinProblem);

}  // namespace yl
