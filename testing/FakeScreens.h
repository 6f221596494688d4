#pragma once
// Displays and pointer set by the test; one 1440x900 screen with a 25-point menu bar until told
// otherwise:
//
//   fake.screens->setScreens({{{0, 0, 1024, 768}, {0, 0, 1024, 768}},
//                             {{1024, 0, 1024, 768}, {1024, 0, 1024, 768}}});

#include <mutex>

#include "platform/Screens.h"

namespace vantlo {

class FakeScreens : public Screens {
  public:
    FakeScreens() { screens_ = {Screen{{0, 0, 1440, 900}, {0, 25, 1440, 875}, 2.0}}; }

    std::vector<Screen> screens() override {
        std::lock_guard lock(mutex_);
        return screens_;
    }
    std::optional<Screen> mainScreen() override {
        std::lock_guard lock(mutex_);
        if (screens_.empty())
            return std::nullopt;
        return screens_[mainIndex_ < screens_.size() ? mainIndex_ : 0];
    }
    Point pointerLocation() override {
        std::lock_guard lock(mutex_);
        return pointer_;
    }

    // The first screen is the primary one; the main screen goes back to it.
    void setScreens(std::vector<Screen> screens) {
        std::lock_guard lock(mutex_);
        screens_ = std::move(screens);
        mainIndex_ = 0;
    }
    // The screen holding the active window.
    void setMainScreen(std::size_t index) {
        std::lock_guard lock(mutex_);
        mainIndex_ = index;
    }
    void setPointer(Point location) {
        std::lock_guard lock(mutex_);
        pointer_ = location;
    }

  private:
    std::mutex mutex_;
    std::vector<Screen> screens_;
    std::size_t mainIndex_ = 0;
    Point pointer_{720, 450};
};

}  // namespace vantlo
