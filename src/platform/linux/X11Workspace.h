#pragma once
// The workspace on an X11 desktop: running applications are this user's processes matched to
// desktop entries (see ApplicationMatcher); the frontmost one owns the active window. Activating
// raises an application's windows and focuses its most recent one, hiding iconifies them,
// terminating closes them politely (SIGTERM for a process without windows), a forced
// termination is SIGKILL. Launching and opening go through GIO, as the desktop's own launchers do.

#include <atomic>
#include <chrono>
#include <map>
#include <memory>
#include <mutex>
#include <optional>

#include "platform/Dispatch.h"
#include "platform/Log.h"
#include "platform/NotificationCenter.h"
#include "platform/Processes.h"
#include "platform/Workspace.h"
#include "platform/linux/ApplicationMatcher.h"
#include "platform/linux/DesktopEntryIndex.h"
#include "platform/linux/ProcessExitWatcher.h"
#include "platform/linux/ProcessFactsCache.h"
#include "platform/linux/X11WindowActions.h"
#include "platform/linux/X11WindowList.h"
#include "platform/linux/XcbConnection.h"

namespace vantlo {

class X11Workspace : public Workspace, public std::enable_shared_from_this<X11Workspace> {
  public:
    struct Services {
        std::shared_ptr<XcbConnection> connection;  // may be null: no display
        std::shared_ptr<X11WindowList> windows;
        std::shared_ptr<X11WindowActions> actions;
        std::shared_ptr<DesktopEntryIndex> entries;
        std::shared_ptr<Processes> processes;
        std::shared_ptr<NotificationCenter> notifications;
        std::shared_ptr<Dispatch> dispatch;
        std::shared_ptr<Log> log;
    };

    // Starts watching activation and process exits for the notifications.
    static std::shared_ptr<X11Workspace> create(Services services);
    ~X11Workspace() override;

    std::vector<RunningApplication> runningApplications() override;
    std::optional<RunningApplication> runningApplication(Pid pid) override;
    std::optional<RunningApplication> frontmostApplication() override;
    void openApplication(const std::string& path, bool activates,
                         OpenCompletion completion) override;
    bool open(const std::string& urlOrPath) override;
    bool activate(Pid pid, unsigned activationOptions) override;
    bool hide(Pid pid) override;
    bool terminate(Pid pid) override;
    bool forceTerminate(Pid pid) override;
    ImageRef iconForFile(const std::string& path) override;

  private:
    explicit X11Workspace(Services services);
    void start();
    void noteActivation();
    void remember(const std::vector<RunningApplication>& apps);
    void onProcessExit(Pid pid);
    static std::map<Pid, ProcessWindows> listedWindowsByProcess(const X11WindowSnapshot& snapshot);
    std::shared_ptr<const X11WindowSnapshot> recentWindows();
    void forgetRecentReading();
    // Answers the recent reading, and has it read again in the background when it is
    // `outdated` (the windows changed) or older than a showing needs. Called with mutex_ held
    // and a reading present.
    std::vector<RunningApplication> answerFromRecentReading(bool outdated);
    void revalidate();
    std::vector<RunningApplication> readApplications(
        std::shared_ptr<const X11WindowSnapshot> snapshot, std::map<Pid, ProcessWindows> windows);
    std::optional<RunningApplication> readFrontmostApplication();
    // The process's listed windows, topmost first: read now, or as in a given snapshot.
    std::vector<X11Window> windowsOf(Pid pid);
    static std::vector<X11Window> windowsOf(Pid pid, const X11WindowSnapshot& snapshot);

    Services s_;
    ProcessFactsCache processes_;
    std::unique_ptr<ProcessExitWatcher> exits_;
    Subscription listener_;
    std::mutex mutex_;
    std::map<Pid, RunningApplication> known_;
    Pid lastFrontmost_ = 0;
    // The last reading of the running applications. One showing of the switcher asks several
    // times within milliseconds (the list, the front application, every application row), and a
    // summon must not wait for /proc. While the windows are the same (the same snapshot, or one
    // with the same windows) and no known process has ended, the reading is handed out again;
    // once it is older than X11WindowList::kRecentLifetime it is also read again in the
    // background shortly after, so a process started without a window or a changed desktop
    // entry shows up at a later question. Changed windows or an ended process make the next
    // question read at once, except on the main thread: there the reading is handed out and
    // read again in the background, so a summon never waits for the desktop.
    struct Reading {
        std::shared_ptr<const X11WindowSnapshot> snapshot;
        std::map<Pid, ProcessWindows> windows;
        std::chrono::steady_clock::time_point takenAt;
        std::vector<RunningApplication> apps;
        // A process of it ended (and is left out of `apps`): to be read again.
        bool processEnded = false;
    };
    std::optional<Reading> recent_;
    bool revalidating_ = false;
    // The front application, read for the active window as it was after `activation` changes
    // of it: the event thread counts them, so the answer is read again only after a change.
    struct Front {
        std::uint64_t activation = 0;
        std::optional<RunningApplication> app;
    };
    std::atomic<std::uint64_t> activations_{0};
    std::optional<Front> front_;
};

}  // namespace vantlo
