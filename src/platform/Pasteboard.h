#pragma once
// Stands in for the system clipboard.

#include <optional>
#include <string>

namespace vantlo {

class Pasteboard {
  public:
    virtual ~Pasteboard() = default;
    // Replaces the clipboard's contents with plain text. False when the clipboard is unavailable.
    virtual bool setString(const std::string& text) = 0;
    virtual std::optional<std::string> string() = 0;
};

}  // namespace vantlo
