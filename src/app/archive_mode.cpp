#include "app/archive_mode.h"

#include <chrono>

#include "app/background_tasks.h"
#include "app/batch_prompter.h"
#include "app/commands/archive_commands.h"
#include "core/internal_error.h"
#include "env/dir_search.h"
#include "env/environment.h"
#include "platform/paths.h"
#include "platform/process.h"

namespace yl {

namespace {

// Questions are answered as in batch mode; the information that reports what was done
// is the command's output, everything else its messages.
class ArchivePrompter : public BatchPrompter {
 public:
  ArchivePrompter(std::ostream& out, std::ostream& err) : BatchPrompter(err), out_(out) {}
  Button Show(const Message& m) override {
    if (m.kind == MessageKind::kInformation && m.buttons == kOk) {
      if (!m.caption.empty()) out_ << m.caption << ":\n";
      out_ << PlainText(m.text) << "\n";
      out_.flush();
      return kOk;
    }
    return BatchPrompter::Show(m);
  }
  // A listing's window: its caption and lines, as the window shows them.
  Button ShowTextWindow(const TextWindowRequest& r) override {
    out_ << r.caption << ":\n" << PlainText(r.text) << "\n";
    out_.flush();
    return kOk;
  }

 private:
  std::ostream& out_;
};

}  // namespace

int RunArchiveMode(const ArchiveRequest& request, const CheckEnvironment& env) {
  std::ostream& err = *env.err;
  auto error = [&](const std::string& text) {
    err << "yearloom: " << PlainText(text) << "\n";
    return kArchiveError;
  };
  return RunCommandGuarded(err, kArchiveError, [&] {
    using Action = ArchiveRequest::Action;
    Session session;
    if (request.action == Action::kSaveIngredients || request.action == Action::kSaveResults) {
      if (auto loaded = LoadReportSession(request.sim_details, env.current_dir, err, session);
          !loaded) {
        return error(loaded.error());
      }
    } else {
      const DirSearchResult keep = DirectorySearch(KeepDirSearchParams());
      if (keep.found) session.settings.paths.keep_dir = keep.dir;
    }
    const DirSearchResult temp = DirectorySearch(TempDirSearchParams());
    if (!temp.found) return error("Cannot locate the temporary directory.");
    SessionPaths& paths = session.settings.paths;
    paths.temp_dir = temp.dir;
    paths.program_dir = ProgramDirectory();
    session.settings.options.FewerMessages = true;
    session.settings.fewer_messages_effective = true;

    ArchiveCommandContext ctx;
    ctx.now100ns = FileTimeOf(std::chrono::system_clock::now());
    ctx.unattended = true;
    ctx.archive = ResolveAgainst(env.current_dir, request.archive);
    if (!request.dir.empty()) ctx.directory = ResolveAgainst(env.current_dir, request.dir);
    ArchivePrompter prompter(*env.out, err);
    // No job timer here: the extraction runs to its end and the save goes on.
    ctx.extract_quillo_file = [&](QuilloFile what, const ModelState& model) {
      PosixProcessRunner runner;
      SystemClock clock;
      BackgroundTasks tasks(session, runner, clock, prompter, {});
      if (!tasks.StartQuilloExtraction(what, model, nullptr, "It goes into the ZIP archive.")) {
        return true;  // said why; the archive warns of the file it lacks
      }
      while (tasks.Busy()) {
        if (auto h = tasks.handle()) runner.WaitForAnyEnd({*h}, std::chrono::milliseconds(200));
        tasks.Tick();
      }
      return true;
    };
    bool done = false;
    switch (request.action) {
      case Action::kSaveIngredients:
        done = SaveIngredientsCommand(session, prompter, ctx, !request.except_model).has_value();
        break;
      case Action::kSaveResults:
        done = ZipResultsCommand(session, prompter, ctx, true).has_value();
        break;
      case Action::kList:
        done = ListZipCommand(session, prompter, ctx).has_value();
        break;
      case Action::kRestore: {
        if (ctx.directory.empty()) return error("Name the directory to restore into.");
        auto entries = archive::ListZip(ctx.archive);
        if (!entries) return error(entries.error());
        std::optional<RestoreSummary> restored;
        if (archive::HasEntry(*entries, archive::kAppDs1)) {
          restored = RestoreIngredientsCommand(session, prompter, ctx,
                                               archive::MissingIngredient(*entries, false).empty()
                                                   ? archive::RestoreKind::kIngredients
                                                   : archive::RestoreKind::kClosureShocksArchive);
        } else {
          restored = RestoreResultsCommand(session, prompter, ctx);
        }
        if (restored) {
          *env.out << "Restored " << restored->written.size() << " files into " << restored->dir
                   << "\n";
          if (!restored->ds1.empty()) *env.out << "Sim Details: " << restored->ds1 << "\n";
        }
        done = restored.has_value();
        break;
      }
    }
    env.out->flush();
    return done ? kArchiveDone : kArchiveError;
  });
}

}  // namespace yl
