#pragma once
// The "Omit Some Periods at the Start" dialog: drops the first n periods, optionally
// pointing the first-year data at the files the Base wrote for the period that becomes
// the first, after asking about anything missing.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/session.h"
#include "core/prompter.h"
#include "sim/sim_record.h"

namespace yl {

// The texts of the dialog that asks how many periods to omit (n is the current choice).
struct OmitDialogTexts {
  std::string Title;         // "Which Periods to Omit at the Start"
  std::string ReplaceLabel;  // "Will change First Year Data files ... year {year} of the Base."
  std::string CountCaption;  // "Number of periods (simulations) to omit at the start :"
  std::vector<std::string> Explanation;
  std::vector<std::string> PeriodYears;  // the year of every period
  int Initial = 1;
  int Max = 1;  // NumYears - 1
};
OmitDialogTexts OmitPeriodsDialogTexts(const TSimRecord& sim, int n);

// False (after "There is only one year ...") when there is nothing that can be omitted.
bool CanOmitPeriods(const TSimRecord& sim, Prompter& prompter);

struct OmitRequest {
  int Count = 1;                      // 1..NumYears-1
  bool ReplaceFirstYearData = false;  // rewrite the first-year data list
};

// "" when the Base has completed its first n periods, else what is missing (the run
// bookkeeping answers this).
using BaseCompletionCheck = std::function<std::string(int n)>;

// Omits the first request.Count periods. With ReplaceFirstYearData, first_year (the
// Model/Data page's list) is rewritten to the Base's files for the new first period, after
// asking about anything missing. Returns false, with the record and list unchanged, when
// the user stopped it.
bool OmitPeriodsAtStart(TSimRecord& sim, const OmitRequest& request,
                        std::vector<std::string>& first_year,
                        const BaseCompletionCheck& base_missing, Prompter& prompter);

// The check as the run records answer it: the first of the Base's first n simulations
// that has not completed ("simulation for year 2022 (period number 2) of the Base").
BaseCompletionCheck BaseCompletionFromRecords(const Session& session);

// The dialog's label for the current choice.
std::string OmitReplaceLabel(const TSimRecord& sim, int n, bool replace);

// The dialog itself: nullopt when the user cancelled.
using AskOmitPeriods =
    std::function<std::optional<OmitRequest>(const OmitDialogTexts& texts, const TSimRecord& sim)>;

// "Omit Some Periods at the Start" from the menu or the Sim Overview button; true when
// periods were omitted (the table is then set up again for the new years).
bool OmitSomePeriodsAtStart(Session& session, const AskOmitPeriods& ask, Prompter& prompter);

}  // namespace yl
