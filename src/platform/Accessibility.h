#pragma once
// Stands in for the Accessibility interface: a tree of elements (applications, windows, buttons,
// tabs) with named attributes and actions, through which windows are read, raised and closed.
//
// Attribute and action names are the system's own ("AXWindows", "AXTitle", "AXRaise", ...; see
// AXNames.h). Every call may fail: reads answer an error or no value, writes and actions answer an
// error code. A stale element (its window is gone) simply fails. No call throws.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "platform/RunningApplication.h"

namespace vantlo {

// An opaque element; each backend derives its own. Compared by identity of the handle.
class AXElement {
  public:
    virtual ~AXElement() = default;
};
using AXElementRef = std::shared_ptr<const AXElement>;

enum class AXError {
    success = 0,
    failure,
    attributeUnsupported,
    actionUnsupported,
    noValue,
    cannotComplete,
    invalidElement,
    apiDisabled,
};

using AXValue = std::variant<std::string, bool, double, AXElementRef, std::vector<AXElementRef>>;

struct AXResult {
    AXError error = AXError::noValue;
    std::optional<AXValue> value;

    bool succeeded() const { return error == AXError::success && value.has_value(); }
    std::optional<std::string> asString() const;
    std::optional<bool> asBool() const;
    AXElementRef asElement() const;
    // The elements of a list value; nothing when the value is not a list of elements.
    std::optional<std::vector<AXElementRef>> asElements() const;
};

class Accessibility {
  public:
    virtual ~Accessibility() = default;

    // Whether this process may use the interface at all.
    virtual bool isProcessTrusted() = 0;
    // The element of a running application; never null (reads on it fail when the pid is gone).
    virtual AXElementRef applicationElement(Pid pid) = 0;
    virtual AXResult copyAttribute(const AXElementRef& element, std::string_view attribute) = 0;
    virtual AXError setAttribute(const AXElementRef& element, std::string_view attribute,
                                 const AXValue& value) = 0;
    virtual AXError performAction(const AXElementRef& element, std::string_view action) = 0;
    // The window-server number of a window element; nothing when unknown.
    virtual std::optional<std::uint32_t> windowNumber(const AXElementRef& element) = 0;
};

}  // namespace vantlo
