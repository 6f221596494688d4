#pragma once
// The test showing of the panel: made-up items whose choices are written out as lines ("Vantlo
// test panel selected: <title>", "Vantlo test panel close: <title>") instead of being acted on.
// This builds its view model; the panel controller shows it like any other.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "model/SwitchItem.h"
#include "switcher/SearchViewModel.h"

namespace vantlo {

class TestShowing {
  public:
    // Where the test showing writes its lines.
    using LineWriter = std::function<void(const std::string& line)>;

    TestShowing() = delete;

    // Standard output, flushed per line: end-to-end tests read it while the program runs.
    static void writeToStandardOutput(const std::string& line);

    // A model on `items` that also lists applications without windows, engaged from the start,
    // with `selectedIndex` clamped into the visible rows. Choosing and closing write a line;
    // cancelling runs `onCancel`.
    static std::shared_ptr<SearchViewModel> makeModel(std::vector<SwitchItem> items,
                                                      int selectedIndex, LineWriter writeLine,
                                                      std::function<void()> onCancel);
};

}  // namespace vantlo
