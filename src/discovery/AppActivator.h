#pragma once
// Opens applications, decides whether the switcher may close one, and quits them: a first close
// asks politely (and brings an unsaved-changes dialog forward), a second close within 6 seconds
// forces the quit. Media players are paused before they are killed, and an application that
// survives a forced quit is remembered for 10 minutes (persisted across restarts) so the
// switcher stops offering to close it.
//
// Stateless operations are static. The quit bookkeeping lives in the process-wide instance:
//
//   AppActivator::shared().quit(bundleID);
//   AppActivator::shared().closeCapability(bundleID);
//
// A forced quit signals only processes of this user: never a pid below 2, never this program, never
// a process whose owner is another user or cannot be read. Each skipped pid is logged once.

#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <unordered_set>
#include <vector>

#include "discovery/ModalDialogState.h"
#include "model/AppItem.h"
#include "model/CloseCapability.h"
#include "platform/RunningApplication.h"

namespace vantlo {

class AppActivator : public std::enable_shared_from_this<AppActivator> {
  public:
    static constexpr double kEscalationWindow = 6.0;
    static constexpr double kDialogCheckDelay = 1.2;
    static constexpr double kSecondKillDelay = 0.6;
    static constexpr double kIneffectiveCheckDelay = 2.0;
    static constexpr double kIneffectiveDuration = 600.0;
    static constexpr const char* kIneffectiveDefaultsKey = "forceQuitIneffectiveUntil.v1";

    static AppActivator& shared();
    // Drops the shared instance (tests); the next `shared()` loads the persisted table afresh and
    // checks scheduled by the old instance do nothing.
    static void resetShared();

    // Opens the application (activating all its windows); on failure logs and beeps. The bundle
    // is never opened as a document instead: on Linux that hands the desktop entry to whatever
    // handles such files, which may run or edit it. The file manager always gets a window on the
    // home folder.
    static void activate(const AppItem& item);
    // Launches or activates the file manager (the chosen one, or the one at `fileManagerPath`)
    // and opens the home folder in it.
    static void ensureFinderWindow();
    static void ensureFinderWindow(const std::string& fileManagerPath);
    // Whether some running, not terminated instance with the identifier is a user-launchable
    // installed application.
    static bool isRunningUserApp(const std::string& bundleID);
    // The identifiers that test answers yes for, from one reading of the running applications.
    static std::unordered_set<std::string> runningUserAppIDs();
    // Probes the application's windows for a sheet or dialog. Slow: background queues only.
    static ModalDialogState modalDialogState(Pid pid);
    // Asks a known media player to pause, on a background queue; other identifiers do nothing.
    static void pausePlaybackIfMediaAsync(const std::string& bundleID);

    CloseCapability closeCapability(const std::string& bundleID);
    // Polite quit, or a forced quit when a polite one was asked at most 6 seconds ago.
    void quit(const std::string& bundleID);
    // Whether a forced quit recently failed to end the application (expired entries are dropped).
    bool isTemporarilyForceQuitIneffective(const std::string& bundleID);

    AppActivator();

  private:
    void forceQuit(const std::string& bundleID, const std::vector<RunningApplication>& running);
    void killFirstPass(const std::string& bundleID, const std::vector<Pid>& pids);
    void killRemaining(const std::string& bundleID);
    void markIneffectiveIfStillRunning(const std::string& bundleID);
    void checkForDialog(const std::string& bundleID);
    // Whether this process may send a kill to `pid`; logs a refusal the first time per pid.
    bool maySignal(Pid pid);
    void saveIneffectiveTable();

    std::mutex mutex_;
    std::map<std::string, double> pendingQuitAt_;
    std::map<std::string, double> ineffectiveUntil_;
    std::set<Pid> refusalsLogged_;
};

}  // namespace vantlo
