#include "platform/linux/DesktopEntryIndex.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <set>

namespace vantlo {
namespace {

namespace fs = std::filesystem;

constexpr double kMaxAgeSeconds = 3.0;

std::string lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

double monotonicSeconds() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

const DesktopEntry* lookup(const DesktopEntryIndex::Snapshot& s,
                           const std::map<std::string, std::size_t>& map, const std::string& key) {
    auto it = map.find(lower(key));
    return it == map.end() ? nullptr : &s.entries[it->second];
}

}  // namespace

const DesktopEntry* DesktopEntryIndex::Snapshot::withId(const std::string& id) const {
    return lookup(*this, byId, id);
}
const DesktopEntry* DesktopEntryIndex::Snapshot::withWmClass(const std::string& wmClass) const {
    return lookup(*this, byWmClass, wmClass);
}
const DesktopEntry* DesktopEntryIndex::Snapshot::withExecProgram(const std::string& program) const {
    return lookup(*this, byExecProgram, program);
}
const DesktopEntry* DesktopEntryIndex::Snapshot::withPath(const std::string& path) const {
    auto it = byPath.find(path);
    return it == byPath.end() ? nullptr : &entries[it->second];
}

bool DesktopEntryIndex::Snapshot::isHidden(const std::string& id) const {
    return hiddenIds.count(lower(id)) > 0;
}

DesktopEntryIndex::DesktopEntryIndex(std::vector<std::string> roots,
                                     std::vector<std::string> locales, std::shared_ptr<Log> log)
    : roots_(std::move(roots)), locales_(std::move(locales)), log_(std::move(log)) {}

std::shared_ptr<const DesktopEntryIndex::Snapshot> DesktopEntryIndex::current() {
    {
        std::lock_guard lock(mutex_);
        if (snapshot_ && monotonicSeconds() - scannedAt_ < kMaxAgeSeconds)
            return snapshot_;
    }
    auto files = listFiles();
    {
        std::lock_guard lock(mutex_);
        if (snapshot_ && files == scannedFiles_) {
            scannedAt_ = monotonicSeconds();
            return snapshot_;
        }
    }
    std::vector<std::string> refusals;
    auto fresh = scan(files, refusals);
    logRefusals(refusals);
    std::lock_guard lock(mutex_);
    snapshot_ = fresh;
    scannedFiles_ = std::move(files);
    scannedAt_ = monotonicSeconds();
    return snapshot_;
}

std::string DesktopEntryIndex::idForPath(const std::string& path) const {
    fs::path file(path);
    std::string relative = file.filename().string();
    for (const auto& root : roots_) {
        std::string prefix = root.ends_with('/') ? root : root + "/";
        if (path.starts_with(prefix)) {
            relative = path.substr(prefix.size());
            break;
        }
    }
    std::replace(relative.begin(), relative.end(), '/', '-');
    if (relative.ends_with(".desktop"))
        relative.resize(relative.size() - 8);
    return relative;
}

std::vector<DesktopEntryIndex::FileState> DesktopEntryIndex::listFiles() const {
    std::vector<FileState> all;
    for (const auto& root : roots_) {
        std::error_code error;
        std::vector<FileState> files;
        for (fs::recursive_directory_iterator
                 it(root, fs::directory_options::follow_directory_symlink, error),
             end;
             !error && it != end; it.increment(error)) {
            if (it.depth() > 8) {
                it.disable_recursion_pending();
                continue;
            }
            if (it->path().extension() != ".desktop")
                continue;
            FileState file;
            file.path = it->path().string();
            std::error_code statError;
            const auto modified = fs::last_write_time(it->path(), statError);
            if (!statError)
                file.modified = std::chrono::duration_cast<std::chrono::nanoseconds>(
                                    modified.time_since_epoch())
                                    .count();
            file.size = fs::file_size(it->path(), statError);
            files.push_back(std::move(file));
        }
        std::sort(files.begin(), files.end(), [](const FileState& a, const FileState& b) {
            return fs::path(a.path) < fs::path(b.path);
        });
        all.insert(all.end(), std::make_move_iterator(files.begin()),
                   std::make_move_iterator(files.end()));
    }
    return all;
}

void DesktopEntryIndex::logRefusals(const std::vector<std::string>& refusals) {
    std::vector<std::string> fresh;
    {
        std::lock_guard lock(mutex_);
        for (const auto& refusal : refusals) {
            if (loggedRefusals_.insert(refusal).second)
                fresh.push_back(refusal);
        }
    }
    if (!log_)
        return;
    for (const auto& refusal : fresh)
        log_->write("[Vantlo] Skipped the desktop entry " + refusal + ".");
}

std::shared_ptr<const DesktopEntryIndex::Snapshot> DesktopEntryIndex::scan(
    const std::vector<FileState>& files, std::vector<std::string>& refusals) const {
    auto snapshot = std::make_shared<Snapshot>();
    std::set<std::string> seenIds;
    for (const auto& file : files) {
        std::string id = idForPath(file.path);
        if (seenIds.count(lower(id)))
            continue;
        std::string refusal;
        auto entry = DesktopEntry::read(file.path, locales_, &refusal);
        // A refused file counts as absent: a later folder's entry of the same ID still shows.
        if (!refusal.empty()) {
            refusals.push_back(file.path + " " + refusal);
            continue;
        }
        seenIds.insert(lower(id));
        if (entry && entry->hidden)
            snapshot->hiddenIds.insert(lower(id));
        if (!entry || !entry->isApplication() || entry->hidden)
            continue;
        entry->id = id;
        std::size_t index = snapshot->entries.size();
        snapshot->byId.emplace(lower(id), index);
        if (!entry->startupWMClass.empty())
            snapshot->byWmClass.emplace(lower(entry->startupWMClass), index);
        if (auto program = entry->execProgram(); !program.empty())
            snapshot->byExecProgram.emplace(lower(program), index);
        snapshot->byPath.emplace(entry->path, index);
        snapshot->entries.push_back(std::move(*entry));
    }
    return snapshot;
}

}  // namespace vantlo
