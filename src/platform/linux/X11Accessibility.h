#pragma once
// The Accessibility interface over X11 and EWMH: applications are processes, their windows the
// window manager's managed clients of that process (normal windows and dialogs that want a
// taskbar entry, topmost first), each with a close-button element.

#include <memory>

#include "platform/Accessibility.h"
#include "platform/linux/X11WindowActions.h"
#include "platform/linux/X11WindowList.h"
#include "platform/linux/XcbConnection.h"

namespace vantlo {

class X11Element;

class X11Accessibility : public Accessibility {
  public:
    // `connection` may be null (no display): then nothing is trusted and every read fails.
    X11Accessibility(std::shared_ptr<XcbConnection> connection,
                     std::shared_ptr<X11WindowList> windows,
                     std::shared_ptr<X11WindowActions> actions);

    // True when an X display with an EWMH window manager answers.
    bool isProcessTrusted() override;
    AXElementRef applicationElement(Pid pid) override;
    AXResult copyAttribute(const AXElementRef& element, std::string_view attribute) override;
    AXError setAttribute(const AXElementRef& element, std::string_view attribute,
                         const AXValue& value) override;
    AXError performAction(const AXElementRef& element, std::string_view action) override;
    std::optional<std::uint32_t> windowNumber(const AXElementRef& element) override;

  private:
    AXResult applicationAttribute(const X11Element& app, std::string_view attribute);
    AXResult windowAttribute(const X11Element& window, std::string_view attribute);
    AXResult closeButtonAttribute(const X11Element& button, std::string_view attribute);
    // The element's window facts: those of its listing while fresh, else read now.
    std::optional<X11Window> factsOf(const X11Element& element);
    AXElementRef windowElement(const X11Window& window);

    std::shared_ptr<XcbConnection> connection_;
    std::shared_ptr<X11WindowList> windows_;
    std::shared_ptr<X11WindowActions> actions_;
};

}  // namespace vantlo
