#pragma once
// The one entry of the switcher list: a window, a tab, a tab group, a window group or an
// application. Equal when the same kind with the same payload id.

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "model/AppItem.h"
#include "model/TabGroupItem.h"
#include "model/TabItem.h"
#include "model/WindowGroupItem.h"
#include "model/WindowItem.h"

namespace vantlo {

// One text the matcher scores an item by, and how much a match in it counts.
struct MatchField {
    std::string text;
    double weight = 1.0;

    bool operator==(const MatchField&) const = default;
};

class SwitchItem {
  public:
    // The case index is part of the hash, in this order.
    enum class Kind { window = 0, tab = 1, tabGroup = 2, windowGroup = 3, app = 4 };
    using Payload = std::variant<WindowItem, TabItem, TabGroupItem, WindowGroupItem, AppItem>;

    SwitchItem(WindowItem v) : payload_(std::make_shared<const Payload>(std::move(v))) {}
    SwitchItem(TabItem v) : payload_(std::make_shared<const Payload>(std::move(v))) {}
    SwitchItem(TabGroupItem v) : payload_(std::make_shared<const Payload>(std::move(v))) {}
    SwitchItem(WindowGroupItem v) : payload_(std::make_shared<const Payload>(std::move(v))) {}
    SwitchItem(AppItem v) : payload_(std::make_shared<const Payload>(std::move(v))) {}

    // Copies share the immutable payload, so lists of items copy cheaply. There is no moved-from
    // state: a move copies too.
    SwitchItem(const SwitchItem&) = default;
    SwitchItem& operator=(const SwitchItem&) = default;

    Kind kind() const { return static_cast<Kind>(payload_->index()); }
    const Payload& payload() const { return *payload_; }
    const Uuid& id() const;

    // Names the same thing across enumerations: the key of the recency history and of the
    // closing set. Never translated, so it survives a change of language.
    std::string mruKey() const;
    // The row's texts and image.
    std::string title() const;
    std::string subtitle() const;
    ImageRef icon() const;
    std::optional<std::string> bundleID() const;
    // Tabs of a tab group or windows of a window group; nothing for the other kinds.
    std::optional<int> groupCount() const;
    // The texts search matches against, with their weights, in order.
    std::vector<MatchField> matchFields() const;

    const WindowItem* window() const { return std::get_if<WindowItem>(payload_.get()); }
    const TabItem* tab() const { return std::get_if<TabItem>(payload_.get()); }
    const TabGroupItem* tabGroup() const { return std::get_if<TabGroupItem>(payload_.get()); }
    const WindowGroupItem* windowGroup() const {
        return std::get_if<WindowGroupItem>(payload_.get());
    }
    const AppItem* app() const { return std::get_if<AppItem>(payload_.get()); }

    bool operator==(const SwitchItem& other) const {
        return kind() == other.kind() && id() == other.id();
    }
    std::size_t hash() const;

  private:
    std::shared_ptr<const Payload> payload_;
};

}  // namespace vantlo

template <>
struct std::hash<vantlo::SwitchItem> {
    std::size_t operator()(const vantlo::SwitchItem& item) const { return item.hash(); }
};
