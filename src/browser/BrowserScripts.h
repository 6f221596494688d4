#pragma once
// The scripts sent to browsers: listing every tab, selecting one tab, closing one tab. Their
// texts are fixed by the browsers' scripting dictionaries; only quoted values are filled in.

#include <string>
#include <string_view>

#include "model/TabItem.h"
#include "platform/PlatformFacts.h"

namespace vantlo::BrowserScripts {

// A text as a script literal: backslashes doubled, double quotes escaped, in double quotes.
std::string quoted(std::string_view text);

// Lists {window index, tab index, active, title, address} for every tab of every window.
std::string listing(const BrowserIdentity& browser);
// Selects the tab and brings its window and the browser forward; answers true when it did.
std::string selection(const BrowserIdentity& browser, const TabItem& tab);
// Closes the tab at its remembered position; errors inside the browser are swallowed.
std::string close(const BrowserIdentity& browser, const TabItem& tab);

}  // namespace vantlo::BrowserScripts
