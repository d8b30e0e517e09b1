#pragma once
// The About box. Its icon is a button: a click beeps and asks for developer mode.

#include <QDialog>
#include <functional>

#include "app/dialogs/about_box.h"

class QToolButton;

namespace yl {

class AboutDialog : public QDialog {
  Q_OBJECT
 public:
  AboutDialog(const AboutFacts& facts, QWidget* parent = nullptr);
  bool icon_clicked() const { return clicked_; }
  QToolButton* icon_button() const { return icon_; }

 private:
  QToolButton* icon_;
  bool clicked_ = false;
};

// The hook the window commands call: shows the box, true when the icon was clicked.
std::function<bool(const AboutFacts&)> QtShowAbout(QWidget* parent);

}  // namespace yl
