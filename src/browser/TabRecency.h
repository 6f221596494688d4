#pragma once
// Where the tab cache reports that a tab is the one the user is looking at.

#include <functional>
#include <string>

namespace vantlo::TabRecency {

// Records the tab's recency key as used now.
void recordUse(const std::string& mruKey);
// Where recordUse sends the key until the recency store takes it directly.
void setRecorder(std::function<void(const std::string&)> record);

}  // namespace vantlo::TabRecency
