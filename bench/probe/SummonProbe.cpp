// Times how long a switcher takes to put its window on screen, seen from the X server:
//
//   vantlo-summon-probe hotkey --class vantlo [options]
//       holds Alt, taps Tab (XTEST, as xdotool does) and times from the Tab press to the moment
//       a top-level window holding a window of that WM_CLASS is viewable; then taps Escape,
//       releases Alt and waits for the window to go.
//   vantlo-summon-probe release --class vantlo [options]
//       summons the same way, waits --settle-ms, then releases Alt and times from the release to
//       the moment the switcher has let go of the keyboard (another client's keyboard grab
//       succeeds; tried in a loop) and its window is unmapped.
//   vantlo-summon-probe launch --class rofi [options] -- rofi -show window
//       times from starting the command to its window being viewable; then taps Escape and
//       waits for the program to end (ending it when it does not).
//
// Options: --runs N (1), --settle-ms MS before dismissing (250), --pause-ms MS after each run
// (500), --timeout-ms MS per wait (5000).
// Prints "summon_ms <milliseconds>" per run ("release_ms <both> grab_ms <keyboard free>
// unmap_ms <window gone>" in release mode), "failed <why>" for a run that did not show.
// Exit status: 0 when every run showed, 1 when one did not, 2 on bad use or no display.
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "ToplevelWatcher.h"
#include "XTestKeyboard.h"
#include "platform/linux/XcbReply.h"

extern char** environ;

namespace vantlo::probe {
namespace {

using std::chrono::milliseconds;

struct Options {
    std::string mode;
    std::string wmClass;
    int runs = 1;
    int settleMs = 250;
    int pauseMs = 500;
    int timeoutMs = 5000;
    std::vector<std::string> command;
};

constexpr const char* kUsage =
    "usage: vantlo-summon-probe hotkey --class NAME [--runs N] [--settle-ms MS] [--pause-ms MS] "
    "[--timeout-ms MS]\n"
    "       vantlo-summon-probe release --class NAME [same options]\n"
    "       vantlo-summon-probe launch --class NAME [same options] -- COMMAND [ARGS...]\n";

std::optional<Options> parse(int argc, char** argv) {
    if (argc < 2)
        return std::nullopt;
    Options options;
    options.mode = argv[1];
    for (int i = 2; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--") {
            options.command.assign(argv + i + 1, argv + argc);
            break;
        }
        if (i + 1 >= argc)
            return std::nullopt;
        const char* value = argv[++i];
        if (arg == "--class")
            options.wmClass = value;
        else if (arg == "--runs")
            options.runs = std::atoi(value);
        else if (arg == "--settle-ms")
            options.settleMs = std::atoi(value);
        else if (arg == "--pause-ms")
            options.pauseMs = std::atoi(value);
        else if (arg == "--timeout-ms")
            options.timeoutMs = std::atoi(value);
        else
            return std::nullopt;
    }
    const bool known = options.mode == "hotkey" || options.mode == "release" ||
                       (options.mode == "launch" && !options.command.empty());
    if (!known || options.wmClass.empty() || options.runs < 1)
        return std::nullopt;
    return options;
}

double millisecondsBetween(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double, std::milli>(to - from).count();
}

void sleepMs(int ms) {
    std::this_thread::sleep_for(milliseconds(ms));
}

class Probe {
  public:
    explicit Probe(Options options) : options_(std::move(options)), keys_(watcher_.connection()) {}

    bool ready() const { return watcher_.connected() && keys_.usable(); }

    // One run; prints its line and answers whether the window showed.
    bool run() {
        if (!waitUntilNoneShows()) {
            std::puts("failed a window of this class is still on screen");
            return false;
        }
        bool shown = false;
        if (options_.mode == "hotkey")
            shown = summonByHotKey();
        else if (options_.mode == "release")
            shown = releaseAfterSummon();
        else
            shown = summonByLaunch();
        std::fflush(stdout);
        sleepMs(options_.pauseMs);
        return shown;
    }

  private:
    Clock::time_point deadline() const { return Clock::now() + milliseconds(options_.timeoutMs); }

    bool waitUntilNoneShows() {
        const auto until = deadline();
        while (watcher_.anyViewable(options_.wmClass)) {
            if (Clock::now() >= until)
                return false;
            sleepMs(50);
        }
        return true;
    }

    // Waits for the switcher's window and prints the run's line: the time from `start`.
    std::optional<ToplevelWatcher::Mapped> waitAndReport(Clock::time_point start,
                                                         const char* action) {
        auto mapped = watcher_.waitForMapped(options_.wmClass, start, deadline());
        if (mapped)
            std::printf("summon_ms %.3f\n", millisecondsBetween(start, mapped->at));
        else
            std::printf("failed no window after %s\n", action);
        return mapped;
    }

    bool summonByHotKey() {
        keys_.press(Keysym::altLeft);
        watcher_.sync();  // Alt is down before Tab, as under a user's fingers
        sleepMs(30);
        const auto start = Clock::now();
        keys_.tap(Keysym::tab);
        const auto mapped = waitAndReport(start, "the hot key");
        sleepMs(options_.settleMs);
        keys_.tap(Keysym::escape);
        keys_.release(Keysym::altLeft);
        if (mapped && !watcher_.waitForGone(mapped->toplevel, deadline()))
            std::fputs("summon-probe: the window stayed after Escape\n", stderr);
        return mapped.has_value();
    }

    bool releaseAfterSummon() {
        keys_.press(Keysym::altLeft);
        watcher_.sync();
        sleepMs(30);
        keys_.tap(Keysym::tab);
        const auto mapped = watcher_.waitForMapped(options_.wmClass, Clock::now(), deadline());
        if (!mapped) {
            keys_.release(Keysym::altLeft);
            std::puts("failed no window after the hot key");
            return false;
        }
        sleepMs(options_.settleMs);
        const auto start = Clock::now();
        keys_.release(Keysym::altLeft);
        std::optional<Clock::time_point> keyboardFree, unmapped;
        const auto until = deadline();
        while ((!keyboardFree || !unmapped) && Clock::now() < until) {
            if (!unmapped && watcher_.sawGone(mapped->toplevel))
                unmapped = watcher_.goneAt(mapped->toplevel, start).value_or(Clock::now());
            if (!keyboardFree && keyboardGrabbable())
                keyboardFree = Clock::now();
        }
        if (!keyboardFree || !unmapped) {
            std::printf("failed %s after the release\n",
                        keyboardFree ? "the window stayed" : "the keyboard stayed grabbed");
            return false;
        }
        const double grab = millisecondsBetween(start, *keyboardFree);
        const double unmap = millisecondsBetween(start, *unmapped);
        std::printf("release_ms %.3f grab_ms %.3f unmap_ms %.3f\n", std::max(grab, unmap), grab,
                    unmap);
        return true;
    }

    // Whether a client may take the keyboard now (it is given back at once).
    bool keyboardGrabbable() {
        auto* c = watcher_.connection();
        XcbReply<xcb_grab_keyboard_reply_t> reply(
            xcb_grab_keyboard_reply(c,
                                    xcb_grab_keyboard(c, 0, watcher_.root(), XCB_CURRENT_TIME,
                                                      XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC),
                                    nullptr));
        if (!reply || reply->status != XCB_GRAB_STATUS_SUCCESS)
            return false;
        xcb_ungrab_keyboard(c, XCB_CURRENT_TIME);
        xcb_flush(c);
        return true;
    }

    bool summonByLaunch() {
        std::vector<char*> argv;
        for (auto& word : options_.command)
            argv.push_back(word.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
        pid_t pid = 0;
        const auto start = Clock::now();
        const int error = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        if (error != 0) {
            std::printf("failed cannot start %s: %s\n", argv[0], std::strerror(error));
            return false;
        }
        const auto mapped = waitAndReport(start, "the launch");
        sleepMs(options_.settleMs);
        keys_.tap(Keysym::escape);
        endProcess(pid);
        return mapped.has_value();
    }

    // Waits for the program to leave after Escape; TERM, then KILL, when it does not.
    void endProcess(pid_t pid) {
        for (int signal : {0, SIGTERM, SIGKILL}) {
            if (signal != 0)
                ::kill(pid, signal);
            const auto until = Clock::now() + milliseconds(2000);
            while (Clock::now() < until) {
                if (::waitpid(pid, nullptr, WNOHANG) == pid)
                    return;
                sleepMs(10);
            }
        }
    }

    Options options_;
    ToplevelWatcher watcher_;
    XTestKeyboard keys_;
};

}  // namespace
}  // namespace vantlo::probe

int main(int argc, char** argv) {
    auto options = vantlo::probe::parse(argc, argv);
    if (!options) {
        std::fputs(vantlo::probe::kUsage, stderr);
        return 2;
    }
    vantlo::probe::Probe probe(*options);
    if (!probe.ready()) {
        std::fputs("summon-probe: no X display with the XTEST extension\n", stderr);
        return 2;
    }
    int failures = 0;
    for (int i = 0; i < options->runs; ++i)
        failures += probe.run() ? 0 : 1;
    return failures == 0 ? 0 : 1;
}
