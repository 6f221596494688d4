#include "platform/posix/JsonFileDefaults.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <filesystem>

#include "platform/posix/PropertyJson.h"
#include "platform/posix/RegularFile.h"

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

// EEXIST when something is at `path`, else the error that looking gave (ENOENT: nothing there).
int lookError(const std::string& path) {
    struct stat info;
    return ::lstat(path.c_str(), &info) == 0 ? EEXIST : errno;
}

// Moves `from` to `to` unless `to` exists. Hard-linking refuses to replace anything; where links
// are not possible (folders, some file systems) a checked rename does the same. On failure
// `error` is EEXIST only when `to` is really taken.
bool moveWithoutReplacing(const std::string& from, const std::string& to, int& error) {
    if (::link(from.c_str(), to.c_str()) == 0) {
        ::unlink(from.c_str());
        return true;
    }
    error = errno;
    if (error == EEXIST)
        return false;
    if (int looked = lookError(to); looked != ENOENT) {
        error = looked;
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

JsonFileDefaults::JsonFileDefaults(std::string path, std::shared_ptr<Log> log,
                                   std::optional<SeparateFile> separate)
    : log_(std::move(log)) {
    files_.push_back(StoredFile{std::move(path)});
    if (files_.front().path.empty()) {
        files_.front().savesChanges = false;
        logLine("No folder for the settings file (HOME is not set); settings will not be saved.");
        return;
    }
    if (separate) {
        separateKeys_ = std::move(separate->keys);
        auto folder = std::filesystem::path(files_.front().path).parent_path();
        files_.push_back(StoredFile{(folder / separate->fileName).string()});
    }
    load(files_.front(), false);
    if (files_.size() > 1) {
        bool movedInMainFile = std::any_of(separateKeys_.begin(), separateKeys_.end(),
                                           [&](const auto& key) { return values_.count(key); });
        load(files_.back(), true);
        // Written once now, so the values are on disk before the main file drops them.
        if (movedInMainFile)
            changed(1);
    }
    // After loading: a link to something that is not a settings file has been set aside by now.
    removeStaleTemporaries();
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

void JsonFileDefaults::load(StoredFile& file, bool separate) {
    auto read = RegularFile::read(file.path, RegularFile::kSettingsLimit);
    if (read.status == RegularFile::Status::missing)
        return;
    if (!read.ok())
        return setAside(file, read.failure());
    if (onlyWhitespace(read.contents))
        return;
    auto document = nlohmann::json::parse(read.contents, nullptr, /*allow_exceptions=*/false);
    if (document.is_discarded())
        return setAside(file, "is not valid JSON (damaged or cut off)");
    if (!document.is_object())
        return setAside(file, "does not hold a JSON object");
    if (deeperThan(document, kMaxDepth))
        return setAside(file, "is nested too deeply");
    for (const auto& [key, member] : document.items()) {
        // The main file may still hold separate keys from before they were kept apart.
        if (separate && separateKeys_.count(key) == 0)
            continue;
        if (auto value = PropertyJson::decode(member))
            values_.insert_or_assign(key, std::move(*value));
    }
}

void JsonFileDefaults::setAside(StoredFile& file, const std::string& reason) {
    std::string stem = file.path + ".damaged-" + utcTimestamp();
    int error = 0;
    for (int attempt = 1; attempt < 100; ++attempt) {
        std::string target = attempt == 1 ? stem : stem + "-" + std::to_string(attempt);
        if (moveWithoutReplacing(file.path, target, error)) {
            logLine("Settings file " + file.path + " " + reason + "; moved it to " + target +
                    " and started with default settings.");
            return;
        }
        if (error != EEXIST)
            break;
    }
    file.savesChanges = false;
    logLine("Settings file " + file.path + " " + reason + " and cannot be moved aside (" +
            errorText(error) +
            "); using default settings and saving no changes until it is fixed.");
}

// A save killed between creating its temporary file and renaming it leaves "<name>.tmp-XXXXXX"
// behind. Recent ones may belong to a save under way in another process (a diagnostics run beside
// the running copy), so only old ones go.
void JsonFileDefaults::removeStaleTemporaries() {
    std::set<std::string> prefixes;
    std::filesystem::path folder;
    for (const auto& file : files_) {
        std::filesystem::path target(writeTarget(file.path));
        folder = target.parent_path();
        prefixes.insert(target.filename().string() + ".tmp-");
    }
    std::error_code error;
    std::filesystem::directory_iterator it(folder.empty() ? "." : folder, error);
    if (error)
        return;
    const std::time_t now = std::time(nullptr);
    int removed = 0;
    for (const auto& entry : it) {
        const std::string name = entry.path().filename().string();
        bool ours = std::any_of(prefixes.begin(), prefixes.end(), [&](const std::string& prefix) {
            return name.size() == prefix.size() + 6 && name.starts_with(prefix);
        });
        struct stat info;
        if (!ours || ::lstat(entry.path().c_str(), &info) != 0 || !S_ISREG(info.st_mode) ||
            info.st_uid != ::getuid() || now - info.st_mtime < kStaleTemporarySeconds)
            continue;
        if (::unlink(entry.path().c_str()) == 0)
            ++removed;
    }
    if (removed > 0)
        logLine("Removed " + std::to_string(removed) +
                " temporary settings file(s) left by an interrupted save.");
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
        auto it = values_.find(key);
        if (it != values_.end() && it->second == value)
            return;
        values_.insert_or_assign(key, std::move(value));
    }
    changed(fileIndexOf(key));
}

void JsonFileDefaults::remove(const std::string& key) {
    {
        std::lock_guard lock(mutex_);
        if (values_.erase(key) == 0)
            return;
    }
    changed(fileIndexOf(key));
}

std::size_t JsonFileDefaults::fileIndexOf(const std::string& key) const {
    return files_.size() > 1 && separateKeys_.count(key) ? 1 : 0;
}

void JsonFileDefaults::changed(std::size_t fileIndex) {
    {
        std::lock_guard lock(mutex_);
        StoredFile& file = files_[fileIndex];
        ++file.generation;
        if (!file.savesChanges || stopping_) {
            file.savedGeneration = file.generation;
            return;
        }
        if (!writer_.joinable())
            writer_ = std::thread([this] { writerLoop(); });
    }
    wake_.notify_one();
}

bool JsonFileDefaults::allSavedLocked() const {
    return std::none_of(files_.begin(), files_.end(), [](const auto& f) { return f.dirty(); });
}

void JsonFileDefaults::flush() {
    std::unique_lock lock(mutex_);
    saved_.wait(lock, [&] { return allSavedLocked(); });
}

void JsonFileDefaults::writerLoop() {
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [&] { return stopping_ || !allSavedLocked(); });
        if (allSavedLocked())
            return;
        // The separate file first: values moved out of the main file reach it before the main
        // file is rewritten without them.
        for (std::size_t index = files_.size(); index-- > 0;) {
            StoredFile& file = files_[index];
            if (!file.dirty())
                continue;
            std::uint64_t generation = file.generation;
            std::map<std::string, PropertyValue> snapshot;
            for (const auto& [key, value] : values_) {
                if (fileIndexOf(key) == index)
                    snapshot.emplace(key, value);
            }
            lock.unlock();
            std::string contents = contentsOf(snapshot);
            save(file, contents);
            lock.lock();
            file.savedGeneration = generation;
        }
        saved_.notify_all();
    }
}

std::string JsonFileDefaults::contentsOf(const std::map<std::string, PropertyValue>& values) const {
    auto document = nlohmann::json::object();
    for (const auto& [key, value] : values)
        document[key] = PropertyJson::encode(value);
    // Invalid UTF-8 handed to the store must not stop the save; it becomes U+FFFD.
    return document.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
}

// Runs on the writer thread only, which alone touches `lastSaveFailed`.
void JsonFileDefaults::save(StoredFile& file, const std::string& contents) {
    std::string failure = replaceFile(file.path, contents);
    if (failure.empty()) {
        file.lastSaveFailed = false;
        return;
    }
    // One line per run of failures, not one per change.
    if (!file.lastSaveFailed)
        logLine("Could not save settings: " + failure + ".");
    file.lastSaveFailed = true;
}

void JsonFileDefaults::logLine(const std::string& line) {
    if (log_)
        log_->write(kLogPrefix + line);
}

}  // namespace vantlo
