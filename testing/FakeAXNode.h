#pragma once
// One element of a fake Accessibility tree below a window (tab strips, toolbars, cells): a role,
// free-form attributes and children, so tests can build the trees browsers expose.
//
//   auto strip = FakeAXNode::make(AX::tabGroupRole, {},
//       {FakeAXNode::make(AX::radioButtonRole, {{AX::title, "Inbox"}, {AX::value, true}})});
//   fake.addWindow(browser, {.title = "Inbox", .content = {strip}});

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/AXNames.h"
#include "platform/Accessibility.h"

namespace vantlo {

struct FakeAXNode {
    using Ref = std::shared_ptr<FakeAXNode>;
    // Answers an action performed on the node; success when unset.
    using ActionHandler = std::function<AXError(FakeAXNode& node, std::string_view action)>;

    std::string role;
    // Attribute values by name (AXTitle, AXDescription, AXHelp, AXSelected, AXValue, AXFocused,
    // AXSubrole, ...). An attribute not listed here reads as unsupported.
    std::map<std::string, AXValue, std::less<>> attributes;
    std::vector<Ref> children;
    ActionHandler onAction;

    static Ref make(std::string role, std::map<std::string, AXValue, std::less<>> attributes = {},
                    std::vector<Ref> children = {}) {
        auto node = std::make_shared<FakeAXNode>();
        node->role = std::move(role);
        node->attributes = std::move(attributes);
        node->children = std::move(children);
        return node;
    }
};

}  // namespace vantlo
