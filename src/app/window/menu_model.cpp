#include "app/window/menu_model.h"

#include <set>

#include "core/text_util.h"

namespace yl {

namespace {

MenuItemSpec Cmd(std::string caption, bool dev = false) {
  MenuItemSpec i;
  i.caption = std::move(caption);
  i.developer_only = dev;
  return i;
}
MenuItemSpec Check(std::string caption, bool dev = false) {
  MenuItemSpec i = Cmd(std::move(caption), dev);
  i.kind = MenuItemKind::kCheck;
  return i;
}
MenuItemSpec Sep() {
  MenuItemSpec i;
  i.kind = MenuItemKind::kSeparator;
  return i;
}
MenuItemSpec Sub(std::string caption, std::vector<MenuItemSpec> items, bool dev = false) {
  MenuItemSpec i = Cmd(std::move(caption), dev);
  i.kind = MenuItemKind::kSubmenu;
  i.items = std::move(items);
  return i;
}
MenuItemSpec Recent() {
  MenuItemSpec i;
  i.kind = MenuItemKind::kRecentFiles;
  return i;
}
std::vector<MenuItemSpec> Runs3() {
  return {Cmd("All (Base and Policy)"), Cmd("Base only"), Cmd("Policy only")};
}

void AssignKeys(std::vector<MenuItemSpec>& items, const std::string& prefix) {
  for (MenuItemSpec& i : items) {
    if (i.kind == MenuItemKind::kSeparator) continue;
    i.key = i.kind == MenuItemKind::kRecentFiles ? prefix + " > (recent files)"
                                                 : prefix + " > " + PlainCaption(i.caption);
    AssignKeys(i.items, i.key);
  }
}

std::vector<MenuSpec> BuildMenus() {
  std::vector<MenuSpec> menus = {
      {"&File",
       "",
       {Cmd("Help about File menu"),
        Sep(),
        Cmd("Save Simulation Details &As..."),
        Cmd("&Load Simulation Details..."),
        Sep(),
        Cmd("Omit Some Periods at the Start"),
        Sep(),
        Cmd("Write Report of Closure/Shocks page"),
        Cmd("Compare Two Lots of Closure/Shocks files"),
        Cmd("Write Report of all &Ingredients"),
        Cmd("Write Report Showing When Sims Were Last Run"),
        Sep(),
        Cmd("Edit Dynamic Info File"),
        Sep(),
        Cmd("Shell to &DOS in Working Directory"),
        Cmd("Shell to Dos in KeepDir", true),
        Cmd("Shell to Dos in Temp Dir"),
        Sep(),
        Recent(),
        Sep(),
        Cmd("E&xit")}},
      {"Zip",
       "",
       {Cmd("Help about Zip menu"),
        Sep(),
        Cmd("&Save Ingredients as ZIP archive"),
        Cmd("&Restore Ingredients from ZIP archive"),
        Cmd("Restore Closure/Shocks files from ZIP archive"),
        Cmd("Save Ingredients, Except Model Files, as ZIP archive"),
        Sep(),
        Sub("Save just Closure/Shocks files as Closure/Shocks ZIP", Runs3()),
        Sub("Save Just Closure Files as Closure/Shocks Zip", Runs3()),
        Sub("Save Just Shocks Files as Closure/Shocks Zip", Runs3()),
        Cmd("Restore Closure/Shocks files from Closure/Shocks ZIP"),
        Sep(),
        Cmd("List &Closure/Shocks files in ZIP archive"),
        Cmd("List &First Year Data Files in ZIP archive"),
        Cmd("List &Model files in ZIP archive"),
        Cmd("List TabEtc files in ZIP archive"),
        Cmd("List Extra files in ZIP archive"),
        Sep(),
        Cmd("View ZIP archive History"),
        Cmd("View Simulation Description in ZIP archive"),
        Sep(),
        Cmd("Zip up All Results"),
        Cmd("Zip up Selected Results"),
        Cmd("View History of Results Zip file"),
        Cmd("Restore files from Results Zip"),
        Sep(),
        Cmd("List files in &ZIP file"),
        Sep(),
        Cmd("Add First Year Data files to ZIP archive", true),
        Cmd("Add Model files to ZIP archive", true),
        Cmd("Zip all files in Temp Directory"),
        Cmd("Zip all files in Keep Directory")}},
      {"&Tasks",
       "",
       {Cmd("Help about Tasks menu"),
        Sep(),
        Cmd("Run part of &Base Case"),
        Cmd("Do part of R&e-run of base case with policy closures"),
        Cmd("Do just part of the &Policy Sims run"),
        Sep(),
        Cmd("Where to Start?  Results Be the Same if Run Again"),
        Cmd("Where To Start?  Just Check Run in Sequence"),
        Cmd("Are Results Ok?  Be the Same if Run Again"),
        Cmd("Are Results Ok? Still as when Created"),
        Cmd("When Were Sims Last Run ?"),
        Sep(),
        Cmd("Summary of Current Job"),
        Sep(),
        Cmd("Check all Base-case &Closures"),
        Cmd("Check all policy cl&osures"),
        Cmd("Check all Base-case closures and &shocks"),
        Cmd("Check all policy closures and s&hocks"),
        Sep(),
        Cmd("Run Base to Policy"),
        Cmd("Do Base and Base Rerun"),
        Cmd("Rerun Base and Run Policy"),
        Sep(),
        Cmd("Run Part Base, Same Parts Others"),
        Cmd("Run Part Base, Same Part BaseRerun"),
        Cmd("Run Part BaseRerun, Same Part Policy"),
        Cmd("Run Part Base, All Parts Others"),
        Cmd("Run Part Base, All Parts BaseRerun"),
        Cmd("Run Part BaseRerun, All Parts Policy"),
        Sep(),
        Cmd("Run SS Jobs for Selected Years"),
        Cmd("Run Simulations for Selected Years"),
        Cmd("Run Single Job, then Concurrent"),
        Sep(),
        Sub("Write BAT file for...", {Cmd("Base"), Cmd("Base Rerun"), Cmd("Policy")}),
        Sep(),
        Cmd("&Make All BAT etc files", true),
        Cmd("Write BAT file to do one RE run", true),
        Cmd("Start another RE pass", true),
        Cmd("Make &FC CMFs", true),
        Cmd("Assemble F&C Results", true),
        Cmd("Assemble FCDE&V Results", true),
        Cmd("&Assemble Dev Sim Results", true),
        Cmd("Calc&ulate Deviations", true)}},
      {"&Rational Expectations",
       "",
       {Cmd("Run Base, BaseRerun and Policy"), Cmd("Do Base and Base Rerun"),
        Cmd("Rerun Base and Run Policy"), Sep(), Cmd("Base: Do Extra Iterations"),
        Cmd("Base Rerun: Do Extra Iterations", true), Cmd("Policy: Do Extra Iterations"), Sep(),
        Sub("View Convergence HAR File", {Cmd("Base"), Cmd("Base Rerun"), Cmd("Policy")}),
        Sub("View Convergence ROREXT File", {Cmd("Base"), Cmd("Base Rerun"), Cmd("Policy")}),
        Sub("View Convergence CSV File", {Cmd("Base"), Cmd("Base Rerun"), Cmd("Policy")}), Sep(),
        Cmd("Run Selected SS Jobs"), Sep(), Check("Preserve Convergence HAR Files"),
        Check("Preserve Convergence ROREXT Files"), Check("Preserve Convergence CSV Files"),
        Check("Carry out Standard Checks"), Check("Allow Several Iterations of Rerun", true)}},
      {"&View",
       "",
       {Cmd("Help about View menu"), Sep(), Cmd("&Header Array file..."), Cmd("&Text file..."),
        Cmd("&Solution files..."), Cmd("S&preadsheet file..."), Cmd("&Main Quillo file"),
        Cmd("Quillo STI (&Condensation) file"), Sep(), Cmd("Last &Error Log"),
        Cmd("&Jobs Log File"), Sep(), Cmd("&Accuracy Summaries")}},
      {"&Options",
       "",
       {Cmd("Help about Options"),
        Sep(),
        Cmd("Specify &Spreadsheet program"),
        Cmd("Change &Editor"),
        Sep(),
        Cmd("Which &Tabulon to use"),
        Cmd("Which &Halvo to use"),
        Cmd("Which Deepro to use"),
        Sep(),
        Cmd("Usual Method for finding Solvara programs"),
        Cmd("Specify directory for Solvara programs"),
        Sep(),
        Cmd("Specify &Temporary Directory"),
        Cmd("Check Temporary Directory"),
        Sub("Delete Temp Dir Files when Exit ?",
            {Check("Delete Temp Dir Files when Exit"),
             Check("Do Not Delete Temp Dir Files when Exit"), Cmd("Help")}),
        Check("Don't update INI file when exit", true),
        Check("Use &PIF under Windows NT", true),
        Sep(),
        Check("Fewer Messages and Questions"),
        Check("Hide Rational Expectations"),
        Cmd("Diagnostic Information"),
        Sep(),
        Check("Use Patterns when Change Sim Names"),
        Check("Ignore Patterns when Change Sim Names")}},
      {"Run Preferences",
       "",
       {Cmd("Help about Run Preferences menu"),
        Sep(),
        Check("Do Rerun Base Case with &Policy Closures"),
        Check("Do &Not Rerun Base Case with Policy Closures"),
        Sep(),
        Check("Do Abbreviated SS Jobs"),
        Check("Make Year-on-Year Differences SS"),
        Check("Accumulate Subtotals Results"),
        Check("Arithmetic problems not fatal for spreadsheet jobs"),
        Sep(),
        Check("Use SOL files for Shocks"),
        Check("Complete Base First"),
        Sub("Move/Delete Outputs Before Run ?", {Check("Move to Subdirectory"), Check("Delete"),
                                                 Check("Do not Move or Delete"), Cmd("Help")}),
        Sep(),
        Check("Add to Jobs Log File"),
        Cmd("Restart Jobs Log File"),
        Cmd("View Jobs Log File"),
        Cmd("Restart Batch Jobs Log File"),
        Cmd("View Batch Jobs Log File"),
        Sep(),
        Check("Allow 2 Concurrent Solves"),
        Check("Allow 3 Concurrent Solves"),
        Check("Just One Solve (no. 1)"),
        Check("Just One Solve (no. 2)"),
        Check("Never Use Bat Job for Simulations"),
        Sep(),
        Check("Log Files Visible During Run"),
        Check("Suppress Screen Saver While Job Running"),
        Check("Check Job Prerequisites")}},
      {"&Help",
       "",
       {Cmd("&Contents"), Cmd("Help about &Page currently showing in Yearloom"), Cmd("What's &New"),
        Cmd("&About Yearloom")}},
  };
  for (MenuSpec& m : menus) {
    m.key = PlainCaption(m.caption);
    AssignKeys(m.items, m.key);
  }
  return menus;
}

void CollectKeys(const std::vector<MenuItemSpec>& items, std::vector<std::string>& out) {
  for (const MenuItemSpec& i : items) {
    if (i.kind == MenuItemKind::kCommand || i.kind == MenuItemKind::kCheck) out.push_back(i.key);
    CollectKeys(i.items, out);
  }
}

const MenuItemSpec* Find(const std::vector<MenuItemSpec>& items, const std::string& key) {
  for (const MenuItemSpec& i : items) {
    if (i.key == key) return &i;
    if (const MenuItemSpec* f = Find(i.items, key)) return f;
  }
  return nullptr;
}

bool StartsWith(const std::string& s, const std::string& prefix) {
  return s.compare(0, prefix.size(), prefix) == 0;
}

// The commands that change the setup or start work: off while a big job runs.
const std::set<std::string>& OffWhileRunning() {
  static const std::set<std::string> keys = {
      "File > Load Simulation Details...",
      "File > Save Simulation Details As...",
      "File > Omit Some Periods at the Start",
      "File > Write Report of Closure/Shocks page",
      "File > Compare Two Lots of Closure/Shocks files",
      "File > Write Report Showing When Sims Were Last Run",
      "Zip > Restore Ingredients from ZIP archive",
      "Zip > Restore Closure/Shocks files from ZIP archive",
      "Zip > Restore Closure/Shocks files from Closure/Shocks ZIP",
      "Zip > Zip up All Results",
      "Zip > Zip up Selected Results",
      "Options > Specify Temporary Directory",
      "Options > Use Patterns when Change Sim Names",
      "Options > Ignore Patterns when Change Sim Names",
      "Run Preferences > Do Rerun Base Case with Policy Closures",
      "Run Preferences > Do Not Rerun Base Case with Policy Closures",
      "Run Preferences > Do Abbreviated SS Jobs",
      "Run Preferences > Make Year-on-Year Differences SS",
      "Run Preferences > Arithmetic problems not fatal for spreadsheet jobs",
      "Run Preferences > Use SOL files for Shocks",
      "Run Preferences > Log Files Visible During Run",
      "Run Preferences > Allow 2 Concurrent Solves",
      "Run Preferences > Allow 3 Concurrent Solves",
      "Run Preferences > Just One Solve (no. 1)",
      "Run Preferences > Just One Solve (no. 2)",
      "Run Preferences > Accumulate Subtotals Results",
      "Run Preferences > Move/Delete Outputs Before Run ?"};
  return keys;
}

// The tasks that need the Base Rerun; hidden when there is none.
const std::set<std::string>& RerunTasks() {
  static const std::set<std::string> keys = {
      "Tasks > Do part of Re-run of base case with policy closures",
      "Tasks > Do Base and Base Rerun", "Tasks > Run Part Base, Same Part BaseRerun",
      "Tasks > Run Part Base, All Parts BaseRerun", "Tasks > Write BAT file for... > Base Rerun"};
  return keys;
}

std::string TempDirCaption(const Options& o) {
  return std::string("Delete Temp Dir Files when Exit ?      ") +
         (o.ClearTempDirAtExit ? "[Yes]" : "[No]");
}

std::string OutputsCaption(const Options& o) {
  const char* word = o.Outputs == OutputsBeforeRun::kMove     ? "[Move]"
                     : o.Outputs == OutputsBeforeRun::kDelete ? "[Delete]"
                                                              : "[Neither]";
  return std::string("Move/Delete Outputs Before Run ?      ") + word;
}

bool CheckedState(const std::string& k, const MenuContext& w, const Options& o) {
  static const std::string rp = "Run Preferences > ";
  if (k == "Options > Delete Temp Dir Files when Exit ? > Delete Temp Dir Files when Exit") {
    return o.ClearTempDirAtExit;
  }
  if (k == "Options > Delete Temp Dir Files when Exit ? > Do Not Delete Temp Dir Files when Exit") {
    return !o.ClearTempDirAtExit;
  }
  if (k == "Options > Don't update INI file when exit") return !w.update_options_at_exit;
  if (k == "Options > Fewer Messages and Questions") return o.FewerMessages;
  if (k == "Options > Hide Rational Expectations") return o.HideRe;
  if (k == "Options > Use Patterns when Change Sim Names") return w.use_patterns;
  if (k == "Options > Ignore Patterns when Change Sim Names") return !w.use_patterns;
  if (k == rp + "Do Rerun Base Case with Policy Closures") return !o.NoRerun;
  if (k == rp + "Do Not Rerun Base Case with Policy Closures") return o.NoRerun;
  if (k == rp + "Do Abbreviated SS Jobs") return o.AbbreviatedSsJobs;
  if (k == rp + "Make Year-on-Year Differences SS") return o.YonYDifferencesSs;
  if (k == rp + "Accumulate Subtotals Results") return o.AccumulateSubtotals;
  if (k == rp + "Arithmetic problems not fatal for spreadsheet jobs") {
    return o.ArithProbNotFatalRsl;
  }
  if (k == rp + "Use SOL files for Shocks") return o.SolFileShocks;
  if (k == rp + "Complete Base First") return o.CompleteBaseFirst;
  if (k == rp + "Move/Delete Outputs Before Run ? > Move to Subdirectory") {
    return o.Outputs == OutputsBeforeRun::kMove;
  }
  if (k == rp + "Move/Delete Outputs Before Run ? > Delete") {
    return o.Outputs == OutputsBeforeRun::kDelete;
  }
  if (k == rp + "Move/Delete Outputs Before Run ? > Do not Move or Delete") {
    return o.Outputs == OutputsBeforeRun::kNeither;
  }
  if (k == rp + "Add to Jobs Log File") return o.AddToJobsLog;
  if (k == rp + "Allow 2 Concurrent Solves") return !o.JustOneSolveNo2 && o.ConcurrentSolves == 2;
  if (k == rp + "Allow 3 Concurrent Solves") return !o.JustOneSolveNo2 && o.ConcurrentSolves == 3;
  if (k == rp + "Just One Solve (no. 1)") return !o.JustOneSolveNo2 && o.ConcurrentSolves <= 1;
  if (k == rp + "Just One Solve (no. 2)") return o.JustOneSolveNo2;
  if (k == rp + "Never Use Bat Job for Simulations") return o.NeverBatJob;
  if (k == rp + "Log Files Visible During Run") return o.VisibleLogFiles;
  if (k == rp + "Suppress Screen Saver While Job Running") return o.SuppressScreenSaver;
  if (k == rp + "Check Job Prerequisites") return o.CheckPrerequisites;
  return false;
}

}  // namespace

std::string PlainCaption(const std::string& caption) {
  std::string out;
  for (std::size_t i = 0; i < caption.size(); ++i) {
    if (caption[i] == '&' && i + 1 < caption.size()) {
      out += caption[++i];  // "&&" is a literal "&"
    } else {
      out += caption[i];
    }
  }
  return TrimRight(out);
}

const std::vector<MenuSpec>& MainMenus() {
  static const std::vector<MenuSpec> menus = BuildMenus();
  return menus;
}

std::vector<std::string> AllCommandKeys() {
  std::vector<std::string> keys;
  for (const MenuSpec& m : MainMenus()) CollectKeys(m.items, keys);
  return keys;
}

const MenuItemSpec* FindMenuItem(const std::string& key) {
  for (const MenuSpec& m : MainMenus()) {
    if (const MenuItemSpec* f = Find(m.items, key)) return f;
  }
  return nullptr;
}

MenuEntryState StateOfItem(const MenuItemSpec& item, const MenuContext& w, const Options& o,
                           bool available) {
  MenuEntryState s;
  const std::string& k = item.key;
  s.caption = item.caption;
  s.visible = !item.developer_only || o.DeveloperMode;
  if (k == "Options > Delete Temp Dir Files when Exit ?") s.caption = TempDirCaption(o);
  if (k == "Run Preferences > Move/Delete Outputs Before Run ?") s.caption = OutputsCaption(o);
  if (k == "Options > Hide Rational Expectations") s.visible = w.re_available;
  if (StartsWith(k, "Rational Expectations")) s.visible = w.re_available && !o.HideRe;
  if (o.NoRerun && RerunTasks().contains(k)) s.visible = false;

  if (w.job_running && (OffWhileRunning().contains(k) || StartsWith(k, "Tasks > Run") ||
                        StartsWith(k, "Tasks > Do") || StartsWith(k, "Tasks > Rerun") ||
                        StartsWith(k, "Tasks > Check all") || StartsWith(k, "Tasks > Write BAT") ||
                        StartsWith(k, "Rational Expectations > "))) {
    s.enabled = false;
  }
  if (k == "Tasks > Summary of Current Job") s.enabled = w.job_running;
  if (k == "File > Edit Dynamic Info File") s.enabled = !w.job_running && w.model_file_exists;
  if (k == "View > Last Error Log") s.enabled = w.last_error_log_exists;
  if (k == "View > Main Quillo file") {
    s.enabled = w.model_chosen && (!w.job_running || w.tab_file_known);
  }
  if (k == "View > Quillo STI (Condensation) file") {
    s.enabled = w.model_chosen && (!w.job_running || w.sti_file_known);
  }
  if (k == "View > Jobs Log File" || k == "Run Preferences > View Jobs Log File") {
    s.enabled = o.AddToJobsLog;
  }
  if (item.kind == MenuItemKind::kCheck) s.checked = CheckedState(k, w, o);
  if (!available && item.kind != MenuItemKind::kSubmenu) {
    s.enabled = false;
    s.tooltip = kNotAvailableYet;
  }
  return s;
}

}  // namespace yl
