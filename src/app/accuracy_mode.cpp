#include "app/accuracy_mode.h"

#include <algorithm>

#include "app/batch_prompter.h"
#include "core/internal_error.h"
#include "core/text_util.h"

namespace yl {

namespace {

// Wide enough for a four-digit year or "10" and its mark.
constexpr std::size_t kColumn = 6;

void PrintTable(std::ostream& out, const AccGrid& grid, AccKind kind) {
  const auto k = static_cast<std::size_t>(kind);
  const char mark = kind == kAccData ? 'D' : 'V';
  std::size_t label = 0;
  for (const AccGridRow& row : grid.rows) label = std::max(label, row.name.size());
  label += 2;
  out << AccGridTitle(grid.overall, kind) << "\n";
  std::string header(label, ' ');
  if (!grid.rows.empty()) {
    for (const AccGridCell& cell : grid.rows.front().cells) {
      header += PadLeft(std::to_string(cell.year), kColumn - 1) + " ";
    }
  }
  out << TrimRight(header) << "\n";
  for (const AccGridRow& row : grid.rows) {
    std::string line = PadRight(row.name, label);
    for (const AccGridCell& cell : row.cells) {
      std::string number = !cell.in_run      ? ""
                           : cell.present[k] ? std::to_string(cell.of[k].rating)
                                             : "-";
      line += PadLeft(number, kColumn - 1) + (cell.worst[k] ? mark : ' ');
    }
    out << TrimRight(line) << "\n";
  }
}

}  // namespace

void PrintAccuracyGrid(std::ostream& out, const AccGrid& grid) {
  PrintTable(out, grid, kAccVariables);
  out << "\n";
  PrintTable(out, grid, kAccData);
  out << "\nRatings: 0 = least accurate, 10 = most accurate; -: no summary;\n"
         "V, D: the worst year of the run for variables, data.\n";
}

int RunAccuracyMode(const AccuracyRequest& request, const CheckEnvironment& env) {
  std::ostream& err = *env.err;
  auto error = [&](const std::string& text) {
    err << "yearloom: " << PlainText(text) << "\n";
    return kAccuracyError;
  };
  return RunCommandGuarded(err, kAccuracyError, [&] {
    Session session;
    if (auto loaded = LoadReportSession(request.sim_details, env.current_dir, err, session);
        !loaded) {
      return error(loaded.error());
    }
    BatchPrompter prompter(err);
    const std::optional<AccGrid> grid =
        AccuracySummariesCommand(session.sim, session.settings, prompter);
    if (!grid) return kAccuracyError;
    PrintAccuracyGrid(*env.out, *grid);
    env.out->flush();
    return kAccuracyShown;
  });
}

}  // namespace yl
