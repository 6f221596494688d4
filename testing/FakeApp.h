#pragma once
// One fake running application. Built by tests with designated initializers, then changed
// through the FakePlatform scenario helpers (which post the workspace notifications):
//
//   auto& editor = fake.addApp({.bundleID = "com.example.editor", .name = "Editor"});

#include <cstdint>
#include <optional>
#include <string>

#include "platform/Accessibility.h"
#include "platform/Image.h"
#include "platform/RunningApplication.h"

namespace vantlo {

struct FakeApp {
    std::optional<std::string> bundleID{};
    std::optional<std::string> name{};
    // The owner name the window server gives its windows, when it differs from `name`.
    std::optional<std::string> windowOwnerName{};
    std::optional<std::string> bundlePath{};
    std::optional<std::string> executablePath{};
    ActivationPolicy policy = ActivationPolicy::regular;
    ImageRef icon{};
    // 0: the fake desktop assigns the next free pid.
    Pid pid = 0;
    // Owning user; nothing: the current user. Set `ownerUnknown` for an unreadable owner.
    std::optional<std::uint32_t> ownerUid{};
    bool ownerUnknown = false;

    // Behaviour.
    bool quitsOnTerminate = true;  // a polite quit ends it
    bool diesOnKill = true;        // a forced quit or signal 9 ends it
    // Every Accessibility read on the application and its windows answers this error.
    AXError axError = AXError::success;

    // State, kept by the fake desktop. `terminated` is what the snapshot reports; `gone` takes
    // it out of the running list. A test may set `terminated` alone for a lingering instance.
    bool hidden = false;
    bool terminated = false;
    bool gone = false;

    RunningApplication snapshot() const {
        RunningApplication app;
        app.pid = pid;
        app.bundleIdentifier = bundleID;
        app.localizedName = name;
        app.icon = icon;
        app.bundlePath = bundlePath;
        app.executablePath = executablePath;
        app.activationPolicy = policy;
        app.isTerminated = terminated;
        return app;
    }
};

}  // namespace vantlo
