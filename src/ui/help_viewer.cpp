#include "ui/help_viewer.h"

#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

#include "app/window/help_pages.h"

namespace yl {

HelpViewer::HelpViewer(std::vector<std::string> dirs, QWidget* parent)
    : QWidget(parent, Qt::Window), dirs_(std::move(dirs)) {
  setWindowTitle("Yearloom Help");
  auto* layout = new QVBoxLayout(this);
  browser_ = new QTextBrowser(this);
  browser_->setOpenLinks(true);
  layout->addWidget(browser_);
  resize(720, 560);
}

void HelpViewer::ShowTopic(int topic) {
  topic_ = topic;
  const std::string page = HelpPagePath(dirs_, topic);
  if (page.empty()) {
    browser_->setHtml(QString("<h1>Help</h1><p>There is no help page for topic %1.</p>"
                              "<p>The help pages belong in the folder \"help\" beside the "
                              "program.</p>")
                          .arg(topic));
  } else {
    browser_->setSource(QUrl::fromLocalFile(QString::fromStdString(page)));
  }
  show();
  raise();
  activateWindow();
}

QString HelpViewer::shown_text() const { return browser_->toPlainText(); }

}  // namespace yl
