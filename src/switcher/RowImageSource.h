#pragma once
// Stands in for where the switcher's rows get their pictures: the page icons of tabs and the
// pictures of windows. The view asks; it never reaches a cache itself, so a test or a showing
// can hand it any pictures it likes.

#include <cstdint>
#include <functional>
#include <string>

#include "platform/Image.h"

namespace vantlo {

class RowImageSource {
  public:
    using Delivery = std::function<void(ImageRef)>;

    virtual ~RowImageSource() = default;

    // The page icon for a tab's favicon address. `deliver` runs once on the main thread: at once
    // when the icon is at hand, later when it has to be fetched; with nullptr when there is none.
    virtual void pageIcon(const std::string& faviconAddress, Delivery deliver) = 0;
    // A picture of the window with this number. `deliver` runs once on the main thread, later,
    // with the picture or nullptr (no capture permission, window gone); it may never run when no
    // background work can be scheduled.
    virtual void windowPicture(std::uint32_t windowNumber, Delivery deliver) = 0;
};

}  // namespace vantlo
