#pragma once
// The preferences' rows for browser tabs: one per supported browser that is installed (or set
// up, or connected), each saying whether its host manifest is in place and whether its extension
// is connected now. Reading that touches files and the browsers' executables, so it runs on a
// background queue; the rows say "checking" until the first answer arrives on the main queue.

#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "preferences/BrowserAccess.h"
#include "preferences/PermissionState.h"

namespace vantlo {

class BrowserAccessModel : public std::enable_shared_from_this<BrowserAccessModel> {
  public:
    // Blocking: called on a background queue.
    using Reader = std::function<std::vector<BrowserAccess>()>;

    // `changed` runs on the main queue whenever a new answer has arrived.
    static std::shared_ptr<BrowserAccessModel> create(Reader reader, std::function<void()> changed);

    // Reads again in the background; an answer already shown stays until the new one arrives.
    void refresh();
    // Nothing until the first answer.
    const std::optional<std::vector<BrowserAccess>>& browsers() const { return browsers_; }
    // The rows to show, localized: "checking" before the first answer, a note when no
    // supported browser is installed, else one row per browser.
    std::vector<PermissionRowContent> rows() const;
    static PermissionRowContent row(const BrowserAccess& browser);

  private:
    BrowserAccessModel(Reader reader, std::function<void()> changed);

    Reader reader_;
    std::function<void()> changed_;
    std::optional<std::vector<BrowserAccess>> browsers_;
    unsigned generation_ = 0;  // answers to older requests are dropped
};

}  // namespace vantlo
