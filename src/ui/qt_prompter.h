#pragma once
// The Prompter as real dialogs: message boxes with their button sets and Help, the
// choosers and the small input dialogs, and the wait window of long checks.

#include <QPointer>
#include <QString>
#include <functional>

#include "core/prompter.h"

class QWidget;
class QProgressDialog;

namespace yl {

// "\r\n" line breaks as the window shows them.
QString ShownText(const std::string& text);
// "Description|*.ext|Other|*.a;*.b" as a Qt name filter list.
QString QtNameFilters(const std::string& filter);

class QtPrompter : public Prompter {
 public:
  // show_help opens a topic without closing the question that asked for it.
  QtPrompter(QWidget* parent, std::function<void(int topic)> show_help);

  Button Show(const Message& m) override;
  std::vector<std::string> ChooseFiles(const FileRequest& request) override;
  std::optional<std::string> ChooseDirectory(const DirectoryRequest& request) override;
  std::optional<std::string> AskText(const TextRequest& request) override;
  std::optional<int> AskInteger(const IntegerRequest& request) override;
  std::optional<std::vector<int>> Choose(const ChoiceRequest& request) override;
  std::optional<std::vector<bool>> CheckItems(const CheckListRequest& request) override;
  std::optional<std::vector<std::string>> EditFileList(const FileListRequest& request) override;
  Button ShowTextWindow(const TextWindowRequest& request) override;
  void ShowProgress(const std::string& text) override;
  void HideProgress() override;
  bool ProgressCancelled() override;

  void set_parent(QWidget* parent) { parent_ = parent; }

 private:
  QPointer<QWidget> parent_;
  std::function<void(int)> show_help_;
  QPointer<QProgressDialog> wait_;
  bool cancel_offered_ = false;  // the work shown asks for the Cancel button
};

}  // namespace yl
