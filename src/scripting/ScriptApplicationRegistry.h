#pragma once
// The scriptable applications a script may address, by the name in `tell application "…"`.
// Bridges register their applications when they connect and remove them when they go away.

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "scripting/ScriptableApplication.h"

namespace vantlo {

class ScriptApplicationRegistry {
  public:
    // Replaces any application registered under the same name.
    void add(const std::string& applicationName, std::shared_ptr<ScriptableApplication> app);
    void remove(const std::string& applicationName);
    // Nothing when no application of that name is registered. Names match exactly.
    std::shared_ptr<ScriptableApplication> find(const std::string& applicationName) const;
    std::vector<std::string> names() const;

  private:
    mutable std::mutex mutex_;
    std::map<std::string, std::shared_ptr<ScriptableApplication>> apps_;
};

}  // namespace vantlo
