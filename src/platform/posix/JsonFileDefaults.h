#pragma once
// The user defaults on a POSIX desktop: one JSON file of typed values (see PropertyJson), read
// once when the store is made and rewritten after every change.
//
// Reads come from memory. Each change is saved by a writer thread: it writes the whole store to
// a temporary file in the same folder, flushes it to disk and renames it over the old file, so
// a crash at any moment leaves either the old or the new file, never a mix. Bursts of changes
// coalesce into one write of the latest state. A file that cannot be read or is not a JSON object
// is moved aside as "<name>.damaged-<UTC timestamp>" with one log line, and the store starts
// empty; if it cannot be moved aside, nothing is saved for this run, so the user's file is never
// overwritten. Values of unexpected types inside a good file are kept as they are.

#include <condition_variable>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "platform/Defaults.h"
#include "platform/Log.h"

namespace vantlo {

class JsonFileDefaults : public Defaults {
  public:
    // `log` may be null. The folder of `path` is created (mode 0700) on the first save.
    JsonFileDefaults(std::string path, std::shared_ptr<Log> log);
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
    const std::string& path() const { return path_; }
    // False when a damaged file could not be set aside: changes then stay in memory.
    bool savesChanges() const { return savesChanges_; }

  private:
    void load();
    void setAside(const std::string& reason);
    void changed();
    void writerLoop();
    bool save(const std::string& contents);
    void logLine(const std::string& line);

    const std::string path_;
    const std::shared_ptr<Log> log_;
    bool savesChanges_ = true;

    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable saved_;
    std::map<std::string, PropertyValue> values_;
    std::uint64_t generation_ = 0;       // bumped by every change
    std::uint64_t savedGeneration_ = 0;  // the newest generation the writer has finished with
    bool stopping_ = false;
    bool lastSaveFailed_ = false;
    std::thread writer_;
};

}  // namespace vantlo
