#pragma once
// The row pictures of the running program: page icons from the shared favicon cache, window
// pictures from the shared thumbnail cache (captured off the main thread).

#include "switcher/RowImageSource.h"

namespace vantlo {

class CachedRowImages : public RowImageSource {
  public:
    void pageIcon(const std::string& faviconAddress, Delivery deliver) override;
    void windowPicture(std::uint32_t windowNumber, Delivery deliver) override;
};

}  // namespace vantlo
