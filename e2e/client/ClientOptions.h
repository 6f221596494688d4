// Command line of the end-to-end test client: which windows to show and how they behave, or a
// one-shot request to send to the window manager on behalf of a test.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

struct ClientOptions {
    enum class Mode { ShowWindows, SendClose, SendActivate };
    // How --no-close takes the close action away: the Motif hint the window manager derives
    // _NET_WM_ALLOWED_ACTIONS from, writing that property ourselves, or both.
    enum class NoCloseVia { Motif, Net, Both };

    Mode mode = Mode::ShowWindows;
    std::string title = "Vantlo Test";
    int count = 1;
    bool dialog = false;
    bool noClose = false;
    NoCloseVia noCloseVia = NoCloseVia::Both;
    bool ignoreClose = false;
    bool skipTaskbar = false;
    std::optional<double> retitleAfterSeconds;
    std::string newTitle;
    uint32_t targetWindow = 0;
    // Requests carry a real server timestamp unless a test asks for CurrentTime (0).
    bool zeroTimestamp = false;
};

// Returns the options, or nothing with `error` set to a one-line explanation.
std::optional<ClientOptions> parseClientOptions(int argc, char** argv, std::string& error);

const char* clientUsage();
