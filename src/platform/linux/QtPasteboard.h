#pragma once
// The clipboard through Qt, which keeps serving the copied text to other programs. Only works
// on the main thread of a running Qt application; elsewhere the clipboard is unavailable.

#include "platform/Pasteboard.h"

namespace vantlo {

class QtPasteboard : public Pasteboard {
  public:
    bool setString(const std::string& text) override;
    std::optional<std::string> string() override;
};

}  // namespace vantlo
