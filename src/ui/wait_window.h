#pragma once
// "Please Wait - Yearloom at work": the window of a long piece of work. Modal, but
// without an event loop of its own, so the job timer keeps ticking and steps its
// animation of eight pictures.

#include <QDialog>

class QLabel;
class QPushButton;
class QStackedWidget;

namespace yl {

inline constexpr int kWaitFrames = 8;

class WaitWindow : public QDialog {
  Q_OBJECT
 public:
  explicit WaitWindow(QWidget* parent);
  void SetMessage(const std::string& text);
  void SetCancellable(bool on);
  void SetHideable(bool on);
  // Brings the next picture to the front, 1..8 in a cycle.
  void Step();
  int frame() const;  // 0-based
  QPushButton* cancel_button() const { return cancel_; }
  QPushButton* hide_button() const { return hide_; }

 Q_SIGNALS:
  void CancelClicked();

 private:
  QLabel* message_;
  QStackedWidget* frames_;
  QPushButton* cancel_;
  QPushButton* hide_;
};

// Picture n (0..7) of the animation: a shuttle crossing the warp of a loom.
QPixmap WaitFrame(int n, int width, int height);

}  // namespace yl
