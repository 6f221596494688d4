#pragma once
// Stands in for the system script engine that sends scripts to other applications (browsers,
// media players) and hands back their answer.

#include <map>
#include <optional>
#include <string>

#include "platform/ScriptValue.h"

namespace vantlo {

class ScriptEngine {
  public:
    virtual ~ScriptEngine() = default;

    // Compiles and runs `source`. Nothing when it does not compile, reports an error, or has not
    // finished within `timeoutSeconds`; the error itself is not reported. May block the calling
    // thread for up to the time-out.
    virtual std::optional<ScriptValue> execute(const std::string& source,
                                               double timeoutSeconds) = 0;

    // The icon addresses the application named `applicationName` gave for the pages it last
    // described, keyed by page address. Only some applications tell (a browser extension does;
    // a scripting dictionary does not): empty for the others and for unknown names. Answers from
    // what is already known, without asking the application.
    virtual std::map<std::string, std::string> pageIconAddresses(
        const std::string& applicationName) {
        (void)applicationName;
        return {};
    }
};

}  // namespace vantlo
