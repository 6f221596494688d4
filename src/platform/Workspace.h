#pragma once
// Stands in for the desktop workspace: the running applications, the frontmost one, opening
// applications and addresses, and asking applications to activate, hide or quit.
//
// The workspace also posts two notifications on the NotificationCenter it was built with, each
// with the affected RunningApplication as object: kDidActivateApplication when another
// application becomes frontmost and kDidTerminateApplication when an application's last process
// ends. They may be posted on any thread. Where the desktop tells which window has the focus,
// the workspace also posts kDidChangeActiveWindow, without an object, whenever that window
// changes, even within one application: the window order of a listing may have changed.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/Image.h"
#include "platform/RunningApplication.h"

namespace vantlo {

inline constexpr const char* kDidActivateApplication = "Workspace.didActivateApplication";
inline constexpr const char* kDidTerminateApplication = "Workspace.didTerminateApplication";
inline constexpr const char* kDidChangeActiveWindow = "Workspace.didChangeActiveWindow";

class Workspace {
  public:
    // The launched (or already running) application, or an error description.
    using OpenCompletion =
        std::function<void(std::optional<RunningApplication>, std::optional<std::string> error)>;

    virtual ~Workspace() = default;

    // Every running application of this user, in the system's order. Empty when unknown.
    virtual std::vector<RunningApplication> runningApplications() = 0;
    virtual std::optional<RunningApplication> runningApplication(Pid pid) = 0;
    virtual std::optional<RunningApplication> frontmostApplication() = 0;
    // The bundle identifier of the frontmost application; nothing when none is in front or it
    // has none.
    std::optional<std::string> frontmostBundleID() {
        auto front = frontmostApplication();
        return front ? front->bundleIdentifier : std::nullopt;
    }

    // Launches (or brings forward) the application at `path`; `completion` runs exactly once, on
    // any thread, with the application or with an error.
    virtual void openApplication(const std::string& path, bool activates,
                                 OpenCompletion completion) = 0;
    // Opens an address or a file path with the user's default handler. False when nothing could
    // be asked to open it.
    virtual bool open(const std::string& urlOrPath) = 0;

    // Requests to one application, by process id. Each answers whether the request was sent;
    // none waits for the application to comply.
    virtual bool activate(Pid pid, unsigned activationOptions) = 0;
    virtual bool hide(Pid pid) = 0;
    virtual bool terminate(Pid pid) = 0;
    virtual bool forceTerminate(Pid pid) = 0;

    // The icon the file manager shows for a file or application location; nullptr when none.
    virtual ImageRef iconForFile(const std::string& path) = 0;
};

}  // namespace vantlo
