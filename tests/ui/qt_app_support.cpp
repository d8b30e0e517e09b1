// One QApplication for the whole test program, on the offscreen platform unless the
// caller chose another (the end-to-end script runs under Xvfb).

#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>

namespace {

class QtApplicationEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static int argc = 1;
    static char name[] = "ui_tests";
    static char* argv[] = {name, nullptr};
    app_ = new QApplication(argc, argv);
  }
  void TearDown() override {
    delete app_;
    app_ = nullptr;
  }

 private:
  QApplication* app_ = nullptr;
};

const auto* const kRegistered = ::testing::AddGlobalTestEnvironment(new QtApplicationEnvironment);

}  // namespace
