#pragma once
// Every desktop entry of the XDG applications folders, indexed the ways running processes are
// matched to them. Earlier folders win for the same desktop ID, and an entry with Hidden=true
// removes that ID altogether (the user's way to delete a system entry). Rebuilt when older than
// a few seconds; safe to use from any thread.

#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/linux/DesktopEntry.h"

namespace vantlo {

class DesktopEntryIndex {
  public:
    struct Snapshot {
        std::vector<DesktopEntry> entries;
        // Lower-case keys -> index into `entries`.
        std::map<std::string, std::size_t> byId;
        std::map<std::string, std::size_t> byWmClass;
        std::map<std::string, std::size_t> byExecProgram;
        std::map<std::string, std::size_t> byPath;
        // IDs an earlier folder removes with Hidden=true.
        std::set<std::string> hiddenIds;

        const DesktopEntry* withId(const std::string& id) const;
        const DesktopEntry* withWmClass(const std::string& wmClass) const;
        const DesktopEntry* withExecProgram(const std::string& program) const;
        const DesktopEntry* withPath(const std::string& path) const;
        bool isHidden(const std::string& id) const;
    };

    // `roots`: the applications folders in precedence order.
    DesktopEntryIndex(std::vector<std::string> roots, std::vector<std::string> locales);

    std::shared_ptr<const Snapshot> current();
    // The desktop ID of an entry file: its path below the applications folder with '/' as '-',
    // without ".desktop"; for a file outside every folder, its file name.
    std::string idForPath(const std::string& path) const;
    const std::vector<std::string>& locales() const { return locales_; }

  private:
    std::shared_ptr<const Snapshot> scan() const;

    std::vector<std::string> roots_;
    std::vector<std::string> locales_;
    std::mutex mutex_;
    std::shared_ptr<const Snapshot> snapshot_;
    double scannedAt_ = 0;
};

}  // namespace vantlo
