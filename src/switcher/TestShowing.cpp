#include "switcher/TestShowing.h"

#include <algorithm>
#include <cstdio>

namespace vantlo {

void TestShowing::writeToStandardOutput(const std::string& line) {
    std::fputs((line + "\n").c_str(), stdout);
    std::fflush(stdout);
}

std::shared_ptr<SearchViewModel> TestShowing::makeModel(std::vector<SwitchItem> items,
                                                        int selectedIndex, LineWriter writeLine,
                                                        std::function<void()> onCancel) {
    auto model = SearchViewModel::create(std::move(items), true);
    model->setEngaged(true);
    int last = std::max(model->visibleCount() - 1, 0);
    model->setSelectedIndex(std::clamp(selectedIndex, 0, last));
    model->setOnSelect([writeLine](const SwitchItem& item) {
        writeLine("Vantlo test panel selected: " + item.title());
    });
    model->setOnClose([writeLine](const SwitchItem& item) {
        writeLine("Vantlo test panel close: " + item.title());
    });
    model->setOnCancel(std::move(onCancel));
    return model;
}

}  // namespace vantlo
