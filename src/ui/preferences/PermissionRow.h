#pragma once
// A settings row that states whether something Vantlo needs is in place: a status symbol (ready,
// needs action, information), the texts, and its buttons. The secondary button shows only when
// it has both a title and an action.

#include <functional>
#include <optional>

#include "preferences/PermissionState.h"
#include "ui/preferences/SettingsRow.h"

namespace vantlo {

class PermissionRow : public SettingsRow {
  public:
    PermissionRow(const PermissionRowContent& content, std::function<void()> primaryAction,
                  std::optional<QString> secondaryTitle = std::nullopt,
                  std::function<void()> secondaryAction = {}, QWidget* parent = nullptr);
};

}  // namespace vantlo
