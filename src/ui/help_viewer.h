#pragma once
// The help window: the program's HTML help pages in a browser that follows their links.

#include <QWidget>
#include <string>
#include <vector>

class QTextBrowser;

namespace yl {

class HelpViewer : public QWidget {
  Q_OBJECT
 public:
  explicit HelpViewer(std::vector<std::string> dirs, QWidget* parent = nullptr);
  // Shows the topic's page and brings the window up; a topic without a page says so.
  void ShowTopic(int topic);
  int shown_topic() const { return topic_; }
  QString shown_text() const;

 private:
  std::vector<std::string> dirs_;
  QTextBrowser* browser_;
  int topic_ = 0;
};

}  // namespace yl
