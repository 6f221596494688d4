#include "model/TabItem.h"

namespace vantlo {

std::string TabItem::mruKey() const {
    std::string key = "tab::" + browserBundleID + "::";
    key += chromeTabID ? std::to_string(*chromeTabID) : title;
    key += "::" + std::to_string(windowIndex) + "::" + std::to_string(tabIndex);
    return key;
}

}  // namespace vantlo
