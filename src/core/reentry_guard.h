#pragma once
// Marks a call as under way, so that the same call made from inside it (a question's
// nested event loop firing a timer, say) can see that and return at once.

namespace yl {

class ReentryGuard {
 public:
  explicit ReentryGuard(bool& busy) : busy_(busy), entered_(!busy) { busy_ = true; }
  ~ReentryGuard() {
    if (entered_) busy_ = false;
  }
  ReentryGuard(const ReentryGuard&) = delete;
  ReentryGuard& operator=(const ReentryGuard&) = delete;
  // False for a call made while another was under way.
  bool entered() const { return entered_; }

 private:
  bool& busy_;
  bool entered_;
};

}  // namespace yl
