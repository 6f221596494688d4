#pragma once
// The browser that started this host: its process (the host's parent) and its program. Vantlo
// uses the pid to find the browser's windows and the program to tell the browsers apart.

#include <string>

#include <sys/types.h>
#include <nlohmann/json.hpp>

namespace vantlo::bridge {

struct ParentBrowser {
    pid_t pid = 0;
    std::string executable;  // the resolved path of its program; empty when unreadable

    static ParentBrowser ofThisProcess();
    // The first message on every connection to Vantlo; `origin` is what the browser passed on the
    // command line (the extension's origin or id).
    nlohmann::json identity(const std::string& origin) const;
};

}  // namespace vantlo::bridge
