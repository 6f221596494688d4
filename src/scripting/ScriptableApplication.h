#pragma once
// The scripting dictionary of one application as the script interpreter sees it: elements
// ("window", "tab") counted and picked by position or id, properties read and written, and
// commands ("activate", "close", "pause"). A browser bridge or a media-player bridge implements
// it; the interpreter never knows how the answer is obtained.
//
// Every operation receives the run's deadline and must answer by then: a bridge that waits for
// another process waits at most `deadline.remainingSeconds()` and then answers `timedOut`.
// Operations may be called from any thread, one run at a time per calling thread.

#include <map>
#include <string>
#include <string_view>

#include "scripting/ObjectSpecifier.h"
#include "scripting/RuntimeValue.h"
#include "scripting/ScriptDeadline.h"

namespace vantlo {

struct DictionaryReply {
    enum class Status {
        ok,
        failed,    // the object, property or command does not exist or was refused
        timedOut,  // the application did not answer before the deadline
    };

    Status status = Status::failed;
    RuntimeValue value;  // the answer when ok (a missing value for commands without one)
    std::string message;

    static DictionaryReply ok(RuntimeValue value = {}) {
        return {Status::ok, std::move(value), {}};
    }
    static DictionaryReply failed(std::string message) {
        return {Status::failed, {}, std::move(message)};
    }
    static DictionaryReply timedOut() { return {Status::timedOut, {}, "timed out"}; }
    bool isOk() const { return status == Status::ok; }
};

class ScriptableApplication {
  public:
    virtual ~ScriptableApplication() = default;

    // Checks that `object` exists and answers the reference the application keeps stable for it
    // (by id where it has ids), so that it still names the same object after others moved.
    // `failed` when it does not exist.
    virtual DictionaryReply resolve(const ObjectSpecifier& object,
                                    const ScriptDeadline& deadline) = 0;
    // The number of `elementClass` elements of `container` (an integer).
    virtual DictionaryReply countElements(const ObjectSpecifier& container,
                                          std::string_view elementClass,
                                          const ScriptDeadline& deadline) = 0;
    virtual DictionaryReply getProperty(const ObjectSpecifier& object, std::string_view property,
                                        const ScriptDeadline& deadline) = 0;
    virtual DictionaryReply setProperty(const ObjectSpecifier& object, std::string_view property,
                                        const RuntimeValue& value,
                                        const ScriptDeadline& deadline) = 0;
    // A command sent to the application, with an optional direct parameter (the object to
    // close); a missing value when there is none.
    virtual DictionaryReply perform(std::string_view command, const RuntimeValue& directParameter,
                                    const ScriptDeadline& deadline) = 0;
    // The icon address of each page the application described last, by page address, for
    // applications that report them; never waits for the application.
    virtual std::map<std::string, std::string> pageIconAddresses() const { return {}; }
};

}  // namespace vantlo
