#include "platform/posix/JsonFileDefaults.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <filesystem>

#include "platform/posix/PropertyJson.h"

namespace vantlo {
namespace {

constexpr const char* kLogPrefix = "[Vantlo] ";
// Deeper nesting than any setting needs is treated as damage rather than recursed into.
constexpr int kMaxDepth = 64;

std::string errorText(int error) {
    return std::strerror(error);
}

class FileDescriptor {
  public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() { reset(); }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    // Closes now and reports whether the close succeeded (a late write error shows up here).
    bool close() {
        int fd = fd_;
        fd_ = -1;
        return fd < 0 || ::close(fd) == 0;
    }
    void reset() {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = -1;
    }

  private:
    int fd_;
};

// What a read of the settings file found.
struct ReadOutcome {
    bool missing = false;
    std::string contents;
    std::string failure;  // non-empty when the file exists but cannot be read
};

ReadOutcome readWholeFile(const std::string& path) {
    ReadOutcome outcome;
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd.valid()) {
        if (errno == ENOENT)
            outcome.missing = true;
        else
            outcome.failure = "cannot be read (" + errorText(errno) + ")";
        return outcome;
    }
    char buffer[16384];
    for (;;) {
        ssize_t count = ::read(fd.get(), buffer, sizeof buffer);
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0) {
            outcome.failure = "cannot be read (" + errorText(errno) + ")";
            return outcome;
        }
        if (count == 0)
            return outcome;
        outcome.contents.append(buffer, static_cast<std::size_t>(count));
    }
}

bool onlyWhitespace(const std::string& text) {
    return text.find_first_not_of(" \t\r\n") == std::string::npos;
}

bool deeperThan(const nlohmann::json& json, int limit) {
    if (!json.is_structured())
        return false;
    if (limit == 0)
        return true;
    for (const auto& child : json) {
        if (deeperThan(child, limit - 1))
            return true;
    }
    return false;
}

std::string utcTimestamp() {
    std::time_t now = std::time(nullptr);
    std::tm parts{};
    gmtime_r(&now, &parts);
    char text[32];
    std::strftime(text, sizeof text, "%Y%m%dT%H%M%SZ", &parts);
    return text;
}

bool exists(const std::string& path) {
    struct stat info;
    return ::lstat(path.c_str(), &info) == 0 || errno != ENOENT;
}

// Moves `from` to `to` unless `to` exists. Hard-linking refuses to replace anything; where links
// are not possible (folders, some file systems) a checked rename does the same.
bool moveWithoutReplacing(const std::string& from, const std::string& to, int& error) {
    if (::link(from.c_str(), to.c_str()) == 0) {
        ::unlink(from.c_str());
        return true;
    }
    error = errno;
    if (error == EEXIST)
        return false;
    if (exists(to)) {
        error = EEXIST;
        return false;
    }
    if (::rename(from.c_str(), to.c_str()) == 0)
        return true;
    error = errno;
    return false;
}

// Creates every missing folder of `folder`, private to the user as the base directory rules ask.
bool createFolders(const std::filesystem::path& folder, std::string& failure) {
    std::filesystem::path partial;
    for (const auto& part : folder) {
        partial /= part;
        if (::mkdir(partial.c_str(), 0700) == 0 || errno == EEXIST)
            continue;
        failure = "cannot create folder " + partial.string() + " (" + errorText(errno) + ")";
        return false;
    }
    return true;
}

bool writeAll(int fd, const std::string& contents) {
    std::size_t done = 0;
    while (done < contents.size()) {
        ssize_t count = ::write(fd, contents.data() + done, contents.size() - done);
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            return false;
        done += static_cast<std::size_t>(count);
    }
    return true;
}

// Follows a link at `path` so that a settings file kept elsewhere (a dotfiles folder) is updated
// in place instead of being replaced by a plain file.
std::string writeTarget(const std::string& path) {
    std::error_code error;
    if (!std::filesystem::is_symlink(path, error))
        return path;
    auto resolved = std::filesystem::canonical(path, error);
    return error ? path : resolved.string();
}

bool syncFolder(const std::string& folder) {
    FileDescriptor fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    return fd.valid() && ::fsync(fd.get()) == 0;
}

// Writes `contents` to `path` through a temporary file and an atomic rename. Empty on success,
// else what went wrong.
std::string replaceFile(const std::string& path, const std::string& contents) {
    std::filesystem::path target(writeTarget(path));
    std::string failure;
    auto folder = target.parent_path();
    if (!folder.empty() && !createFolders(folder, failure))
        return failure;
    std::string temporary = target.string() + ".tmp-XXXXXX";
    FileDescriptor fd(::mkostemp(temporary.data(), O_CLOEXEC));
    if (!fd.valid())
        return "cannot create a temporary file in " + folder.string() + " (" + errorText(errno) +
               ")";
    bool written = writeAll(fd.get(), contents) && ::fsync(fd.get()) == 0;
    int error = errno;
    written = fd.close() && written;
    if (written && ::rename(temporary.c_str(), target.c_str()) == 0) {
        // The rename is durable only once the folder's entry is on disk too.
        syncFolder(folder.empty() ? "." : folder.string());
        return {};
    }
    if (written)
        error = errno;
    ::unlink(temporary.c_str());
    return "cannot write " + target.string() + " (" + errorText(error) + ")";
}

}  // namespace

JsonFileDefaults::JsonFileDefaults(std::string path, std::shared_ptr<Log> log)
    : path_(std::move(path)), log_(std::move(log)) {
    if (path_.empty()) {
        savesChanges_ = false;
        logLine("No folder for the settings file (HOME is not set); settings will not be saved.");
        return;
    }
    load();
}

JsonFileDefaults::~JsonFileDefaults() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    if (writer_.joinable())
        writer_.join();
}

std::string JsonFileDefaults::pathFromEnvironment(const char* xdgConfigHome, const char* home) {
    // Base directory rules: a relative XDG_CONFIG_HOME is invalid and must be ignored.
    if (xdgConfigHome && xdgConfigHome[0] == '/')
        return std::string(xdgConfigHome) + "/vantlo/defaults.json";
    if (home && home[0] == '/')
        return std::string(home) + "/.config/vantlo/defaults.json";
    return {};
}

std::string JsonFileDefaults::defaultPath() {
    const char* home = std::getenv("HOME");
    if (!home || home[0] != '/') {
        if (const passwd* entry = ::getpwuid(::getuid()))
            home = entry->pw_dir;
    }
    return pathFromEnvironment(std::getenv("XDG_CONFIG_HOME"), home);
}

void JsonFileDefaults::load() {
    ReadOutcome read = readWholeFile(path_);
    if (read.missing)
        return;
    if (!read.failure.empty())
        return setAside(read.failure);
    if (onlyWhitespace(read.contents))
        return;
    auto document = nlohmann::json::parse(read.contents, nullptr, /*allow_exceptions=*/false);
    if (document.is_discarded())
        return setAside("is not valid JSON (damaged or cut off)");
    if (!document.is_object())
        return setAside("does not hold a JSON object");
    if (deeperThan(document, kMaxDepth))
        return setAside("is nested too deeply");
    for (const auto& [key, member] : document.items()) {
        if (auto value = PropertyJson::decode(member))
            values_.emplace(key, std::move(*value));
    }
}

void JsonFileDefaults::setAside(const std::string& reason) {
    std::string stem = path_ + ".damaged-" + utcTimestamp();
    int error = 0;
    for (int attempt = 1; attempt < 100; ++attempt) {
        std::string target = attempt == 1 ? stem : stem + "-" + std::to_string(attempt);
        if (moveWithoutReplacing(path_, target, error)) {
            logLine("Settings file " + path_ + " " + reason + "; moved it to " + target +
                    " and started with default settings.");
            return;
        }
        if (error != EEXIST)
            break;
    }
    savesChanges_ = false;
    logLine("Settings file " + path_ + " " + reason + " and cannot be moved aside (" +
            errorText(error) +
            "); using default settings and saving no changes until it is fixed.");
}

std::optional<PropertyValue> JsonFileDefaults::object(const std::string& key) const {
    std::lock_guard lock(mutex_);
    auto it = values_.find(key);
    if (it == values_.end())
        return std::nullopt;
    return it->second;
}

void JsonFileDefaults::set(const std::string& key, PropertyValue value) {
    {
        std::lock_guard lock(mutex_);
        values_[key] = std::move(value);
    }
    changed();
}

void JsonFileDefaults::remove(const std::string& key) {
    {
        std::lock_guard lock(mutex_);
        values_.erase(key);
    }
    changed();
}

void JsonFileDefaults::changed() {
    {
        std::lock_guard lock(mutex_);
        ++generation_;
        if (!savesChanges_ || stopping_) {
            savedGeneration_ = generation_;
            return;
        }
        if (!writer_.joinable())
            writer_ = std::thread([this] { writerLoop(); });
    }
    wake_.notify_one();
}

void JsonFileDefaults::flush() {
    std::unique_lock lock(mutex_);
    saved_.wait(lock, [&] { return savedGeneration_ == generation_; });
}

void JsonFileDefaults::writerLoop() {
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [&] { return stopping_ || generation_ != savedGeneration_; });
        if (generation_ == savedGeneration_)
            return;
        std::uint64_t generation = generation_;
        auto snapshot = values_;
        lock.unlock();
        auto document = nlohmann::json::object();
        for (const auto& [key, value] : snapshot)
            document[key] = PropertyJson::encode(value);
        // Invalid UTF-8 handed to the store must not stop the save; it becomes U+FFFD.
        save(document.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) + "\n");
        lock.lock();
        savedGeneration_ = generation;
        saved_.notify_all();
    }
}

bool JsonFileDefaults::save(const std::string& contents) {
    std::string failure = replaceFile(path_, contents);
    if (failure.empty()) {
        lastSaveFailed_ = false;
        return true;
    }
    // One line per run of failures, not one per change.
    if (!lastSaveFailed_)
        logLine("Could not save settings: " + failure + ".");
    lastSaveFailed_ = true;
    return false;
}

void JsonFileDefaults::logLine(const std::string& line) {
    if (log_)
        log_->write(kLogPrefix + line);
}

}  // namespace vantlo
