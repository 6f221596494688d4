#pragma once
// What a permission row shows: its status, its texts and its button.

#include <string>

namespace vantlo {

enum class PermissionState { ready, needsAction, info };

struct PermissionRowContent {
    std::string title;
    std::string detail;
    PermissionState state = PermissionState::info;
    std::string primaryTitle;
};

}  // namespace vantlo
