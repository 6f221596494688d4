#include "scripting/ScriptApplicationRegistry.h"

namespace vantlo {

void ScriptApplicationRegistry::add(const std::string& applicationName,
                                    std::shared_ptr<ScriptableApplication> app) {
    std::lock_guard lock(mutex_);
    apps_[applicationName] = std::move(app);
}

void ScriptApplicationRegistry::remove(const std::string& applicationName) {
    std::lock_guard lock(mutex_);
    apps_.erase(applicationName);
}

std::shared_ptr<ScriptableApplication> ScriptApplicationRegistry::find(
    const std::string& applicationName) const {
    std::lock_guard lock(mutex_);
    auto it = apps_.find(applicationName);
    return it == apps_.end() ? nullptr : it->second;
}

std::vector<std::string> ScriptApplicationRegistry::names() const {
    std::lock_guard lock(mutex_);
    std::vector<std::string> result;
    for (const auto& [name, app] : apps_)
        result.push_back(name);
    return result;
}

}  // namespace vantlo
