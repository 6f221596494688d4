#include "preferences/ShortcutsPaneModel.h"

#include "input/HotkeyStore.h"
#include "input/ShortcutConflicts.h"
#include "platform/Platform.h"
#include "settings/Localization.h"

namespace vantlo {

ShortcutsPaneModel::ShortcutsPaneModel(std::function<void()> changed)
    : changed_(std::move(changed)), hotkeys_(ShortcutStore::allResolved()) {
    auto& center = *platform().notifications;
    auto reloadOnMain = [this](const Notification&) { reload(); };
    shortcutsObserver_ = center.addObserver(ShortcutStore::changedNotification, reloadOnMain,
                                            NotificationCenter::Delivery::mainQueue);
    languageObserver_ = center.addObserver(Localization::languageChangedNotification, reloadOnMain,
                                           NotificationCenter::Delivery::mainQueue);
}

HotkeyConfig ShortcutsPaneModel::binding(ShortcutAction action) const {
    auto found = hotkeys_.find(action);
    return found != hotkeys_.end() ? found->second : ShortcutActions::defaultBinding(action);
}

std::string ShortcutsPaneModel::caption(ShortcutAction action) const {
    return ShortcutConflicts::caption(action, hotkeys_);
}

HotkeyConfig ShortcutsPaneModel::activationHotkey() const {
    return HotkeyStore::current();
}

void ShortcutsPaneModel::setActivationHotkey(const HotkeyConfig& config) {
    HotkeyStore::setCurrent(config);
    if (changed_)
        changed_();
}

void ShortcutsPaneModel::resetActivationHotkey() {
    setActivationHotkey(HotkeyConfig::defaultActivation());
}

bool ShortcutsPaneModel::capture(ShortcutAction action, const HotkeyConfig& candidate) {
    if (ShortcutConflicts::conflictingAction(action, candidate, hotkeys_)) {
        if (platform().sound)
            platform().sound->beep();
        return false;
    }
    ShortcutStore::set(candidate, action);
    hotkeys_[action] = candidate;
    if (changed_)
        changed_();
    return true;
}

void ShortcutsPaneModel::reset(ShortcutAction action) {
    ShortcutStore::reset(action);
    reload();
}

void ShortcutsPaneModel::resetAll() {
    ShortcutStore::resetAll();
    reload();
}

void ShortcutsPaneModel::reload() {
    hotkeys_ = ShortcutStore::allResolved();
    if (changed_)
        changed_();
}

}  // namespace vantlo
