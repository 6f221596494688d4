#pragma once
// One connected browser extension, as a caller that asks it something and waits for the answer.
// The browser bridge server implements it over the browser host's socket; tests answer from
// recorded bridge data.

#include <string>

#include <nlohmann/json.hpp>

#include "scripting/ScriptDeadline.h"

namespace vantlo {

struct BridgeReply {
    enum class Status { ok, failed, timedOut };

    Status status = Status::failed;
    nlohmann::json result;  // the command's result object when ok
    std::string error;
};

class BridgeTransport {
  public:
    virtual ~BridgeTransport() = default;
    // Sends {"command": …, …} and waits for the extension's reply until the deadline at most:
    // `timedOut` then, `failed` when the extension refused or the connection is gone.
    virtual BridgeReply call(const nlohmann::json& request, const ScriptDeadline& deadline) = 0;
};

}  // namespace vantlo
