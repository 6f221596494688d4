#pragma once
// The desktop part of the program (Qt, X11, GIO) lives in a module of its own that `vantlo` loads
// only to start the desktop, so the commands that need no display start without those
// libraries. The module is a complete program behind one entry point: once it runs, it uses only
// its own code.

#include <string>

namespace vantlo {

class DesktopModule {
  public:
    // The module's entry point: runs the program with the process's arguments, returns its exit
    // status.
    using Entry = int (*)(int argc, char** argv);

    // The names the module exports; the entry point and a copy of the version it was built as.
    static constexpr const char* kEntrySymbol = "vantlo_desktop_main";
    static constexpr const char* kVersionSymbol = "vantlo_desktop_version";

    struct Loaded {
        Entry entry = nullptr;
        // When `entry` is null: what went wrong, one sentence naming the module's path.
        std::string error;
    };

    // Where the module of the executable at `executablePath` is: the same place relative to the
    // executable in a build tree and in an installation.
    static std::string pathFor(const std::string& executablePath);

    // Loads the module at `path` and finds its entry point. Fails when the file is missing, does
    // not load, lacks the entry point or was built as another version than `version`. A loaded
    // module stays loaded for the life of the process.
    static Loaded load(const std::string& path, const std::string& version);
};

}  // namespace vantlo
