#pragma once
// Every desktop entry of the XDG applications folders, indexed the ways running processes are
// matched to them. Earlier folders win for the same desktop ID, and an entry with Hidden=true
// removes that ID altogether (the user's way to delete a system entry). Looked at again when older
// than a few seconds, and read again only when a file came, went or changed (listing the folders
// costs a fraction of reading every entry, and the switcher asks at every summon); safe to use
// from any thread. An entry that is not a regular file (a FIFO, a link to a device) or is larger
// than 1 MiB is skipped, with one log line per file.

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/Log.h"
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

    // `roots`: the applications folders in precedence order. `log` may be null.
    DesktopEntryIndex(std::vector<std::string> roots, std::vector<std::string> locales,
                      std::shared_ptr<Log> log = nullptr);

    std::shared_ptr<const Snapshot> current();
    // The desktop ID of an entry file: its path below the applications folder with '/' as '-',
    // without ".desktop"; for a file outside every folder, its file name.
    std::string idForPath(const std::string& path) const;
    const std::vector<std::string>& locales() const { return locales_; }

  private:
    // Every entry file of every folder, in precedence order, with what tells a changed file.
    struct FileState {
        std::string path;
        std::int64_t modified = 0;  // nanoseconds
        std::uintmax_t size = 0;
        bool operator==(const FileState&) const = default;
    };
    std::vector<FileState> listFiles() const;
    // `refusals` gets one "<path> <reason>" per entry file that was there but not read.
    std::shared_ptr<const Snapshot> scan(const std::vector<FileState>& files,
                                         std::vector<std::string>& refusals) const;
    void logRefusals(const std::vector<std::string>& refusals);

    std::vector<std::string> roots_;
    std::vector<std::string> locales_;
    std::shared_ptr<Log> log_;
    std::mutex mutex_;
    std::set<std::string> loggedRefusals_;
    std::shared_ptr<const Snapshot> snapshot_;
    std::vector<FileState> scannedFiles_;
    double scannedAt_ = 0;
};

}  // namespace vantlo
