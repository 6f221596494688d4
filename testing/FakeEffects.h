#pragma once
// Everything the fake desktop was asked to do, for assertions: typed lists per kind of effect and
// one journal line per effect in the order they happened.
//
//   EXPECT_EQ(fake.effects->signals, (std::vector<SignalRecord>{{editor.pid, Signals::kill}}));
//   EXPECT_EQ(fake.effects->journal.back(), "activate 501 options 1");

#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/Accessibility.h"
#include "platform/RunningApplication.h"

namespace vantlo {

struct ActivationRecord {
    Pid pid = 0;
    unsigned options = 0;
    bool operator==(const ActivationRecord&) const = default;
};

struct OpenAppRecord {
    std::string path;
    bool activates = false;
    bool operator==(const OpenAppRecord&) const = default;
};

struct SignalRecord {
    Pid pid = 0;
    int signal = 0;
    bool operator==(const SignalRecord&) const = default;
};

struct AXWriteRecord {
    std::string element;  // "window 101", "app 501", "AXRadioButton Inbox", ...
    std::string attribute;
    AXValue value;
    bool operator==(const AXWriteRecord&) const = default;
};

struct AXActionRecord {
    std::string element;
    std::string action;
    bool operator==(const AXActionRecord&) const = default;
};

struct ScriptRecord {
    std::string source;
    double timeoutSeconds = 0;
    bool operator==(const ScriptRecord&) const = default;
};

struct ProgramRecord {
    std::string program;
    std::vector<std::string> arguments;
    bool operator==(const ProgramRecord&) const = default;
};

struct FakeEffects {
    std::vector<ActivationRecord> activations;
    std::vector<Pid> hidden;
    std::vector<Pid> terminated;       // polite quit requests
    std::vector<Pid> forceTerminated;  // workspace forced quits (not signals)
    std::vector<OpenAppRecord> openedApps;
    std::vector<std::string> openedURLs;
    std::vector<SignalRecord> signals;
    std::vector<ProgramRecord> programs;
    // Window numbers, per Accessibility effect on the window.
    std::vector<std::uint32_t> raised;
    std::vector<std::uint32_t> unminimized;
    std::vector<std::uint32_t> minimized;
    std::vector<std::uint32_t> closedByButton;
    std::vector<AXWriteRecord> axWrites;
    std::vector<AXActionRecord> axActions;
    std::vector<ScriptRecord> scripts;
    std::vector<std::string> logLines;
    std::vector<std::string> clipboard;  // every text put on the clipboard
    int beeps = 0;
    // One line per effect above, in order.
    std::vector<std::string> journal;

    void note(std::string line) {
        std::lock_guard lock(mutex);
        journal.push_back(std::move(line));
    }
    // Guards the lists while a fake records; tests read them when no task runs.
    std::recursive_mutex mutex;
};

}  // namespace vantlo
