#pragma once
// The user defaults on a POSIX desktop: one JSON file of typed values (see PropertyJson), read
// once when the store is made and rewritten after every change. Keys that change often (the
// recency history, at every switch) may be kept in a small file of their own beside it, so that
// changing them never rewrites the main file.
//
// Reads come from memory. Each change is saved by a writer thread: it writes the whole file to
// a temporary file in the same folder, flushes it to disk and renames it over the old file, so
// a crash at any moment leaves either the old or the new file, never a mix. Bursts of changes
// coalesce into one write of the latest state; setting a value a key already has writes nothing.
// Temporary files such a crash left behind are removed when the store is made. A file that is
// not a regular file (a FIFO, a device), is larger than a few megabytes, cannot be read or is not
// a JSON object is moved aside as "<name>.damaged-<UTC timestamp>" with one log line, and the
// store starts without its values; if it cannot be moved aside, nothing is saved to it for this
// run, so the user's file is never overwritten. Values of unexpected types inside a good file are
// kept as they are.

#include <condition_variable>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "platform/Defaults.h"
#include "platform/Log.h"

namespace vantlo {

class JsonFileDefaults : public Defaults {
  public:
    // Keys kept in their own file, named `fileName`, in the main file's folder.
    struct SeparateFile {
        std::string fileName;
        std::set<std::string> keys;
    };

    // `log` may be null. The folder of `path` is created (mode 0700) on the first save. Values of
    // the separate keys found in the main file (written before they were kept apart) are read and
    // moved to the separate file; the separate file's own values win.
    JsonFileDefaults(std::string path, std::shared_ptr<Log> log,
                     std::optional<SeparateFile> separate = std::nullopt);
    // Saves what is still pending, then stops the writer.
    ~JsonFileDefaults() override;
    JsonFileDefaults(const JsonFileDefaults&) = delete;
    JsonFileDefaults& operator=(const JsonFileDefaults&) = delete;

    // "$XDG_CONFIG_HOME/vantlo/defaults.json"; XDG_CONFIG_HOME unset, empty or relative means
    // "$HOME/.config". Empty when neither gives an absolute folder.
    static std::string pathFromEnvironment(const char* xdgConfigHome, const char* home);
    // The same, from this process's environment (falling back to the password database for the
    // home folder).
    static std::string defaultPath();

    std::optional<PropertyValue> object(const std::string& key) const override;
    void set(const std::string& key, PropertyValue value) override;
    void remove(const std::string& key) override;

    // Waits until every change made so far is on disk (or its save has failed). For tests and
    // for an orderly exit.
    void flush();
    const std::string& path() const { return files_.front().path; }
    // False when a damaged main file could not be set aside: changes then stay in memory.
    bool savesChanges() const { return files_.front().savesChanges; }

    // Temporary files older than this are left over from a crash, not a save under way.
    static constexpr int kStaleTemporarySeconds = 60;

  private:
    // One file on disk and the state of its saving.
    struct StoredFile {
        std::string path;
        bool savesChanges = true;
        bool lastSaveFailed = false;
        std::uint64_t generation = 0;       // bumped by every change to one of its keys
        std::uint64_t savedGeneration = 0;  // the newest generation the writer has finished with
        bool dirty() const { return generation != savedGeneration; }
    };

    void load(StoredFile& file, bool separate);
    void setAside(StoredFile& file, const std::string& reason);
    void removeStaleTemporaries();
    std::size_t fileIndexOf(const std::string& key) const;
    void changed(std::size_t fileIndex);
    bool allSavedLocked() const;
    void writerLoop();
    std::string contentsOf(const std::map<std::string, PropertyValue>& values) const;
    void save(StoredFile& file, const std::string& contents);
    void logLine(const std::string& line);

    const std::shared_ptr<Log> log_;
    std::set<std::string> separateKeys_;
    std::vector<StoredFile> files_;  // the main file, then the separate one if any

    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable saved_;
    std::map<std::string, PropertyValue> values_;
    bool stopping_ = false;
    std::thread writer_;
};

}  // namespace vantlo
