#include "platform/linux/ProcessFactsCache.h"

namespace vantlo {

ProcessFactsCache::ProcessFactsCache(std::uint32_t uid) : ProcessFactsCache(uid, Source{}) {}

ProcessFactsCache::ProcessFactsCache(std::uint32_t uid, Source source)
    : uid_(uid), source_(std::move(source)) {}

const ProcessFactsCache::Known* ProcessFactsCache::refresh(Pid pid, std::map<Pid, Known>& into) {
    auto identity = source_.identity(pid);
    if (!identity || identity->uid != uid_)
        return nullptr;
    if (auto old = known_.find(pid); old != known_.end() && old->second.identity == *identity)
        return &into.insert_or_assign(pid, old->second).first->second;
    auto facts = source_.read(pid);
    if (!facts)
        return nullptr;
    // One reading of the program, so the facts and the identity they are kept under agree.
    facts->executable = identity->executable;
    // Kept even without a command line, so a kernel thread is not read again every time.
    return &into.insert_or_assign(pid, Known{*identity, std::move(*facts), {}, {}, {}})
                .first->second;
}

std::vector<ProcessFacts> ProcessFactsCache::processes() {
    std::lock_guard lock(mutex_);
    std::map<Pid, Known> current;
    std::vector<ProcessFacts> running;
    for (Pid pid : source_.pids()) {
        const Known* known = refresh(pid, current);
        if (known != nullptr && !known->facts.argv.empty())
            running.push_back(known->facts);
    }
    known_ = std::move(current);
    return running;
}

std::optional<ProcessFacts> ProcessFactsCache::process(Pid pid) {
    std::lock_guard lock(mutex_);
    std::map<Pid, Known> one;
    const Known* known = refresh(pid, one);
    if (known == nullptr) {
        known_.erase(pid);
        return std::nullopt;
    }
    auto facts = known->facts;
    known_.insert_or_assign(pid, std::move(one.begin()->second));
    if (facts.argv.empty())
        return std::nullopt;
    return facts;
}

std::optional<std::string> ProcessFactsCache::remembered(Pid pid, Memo memo, const Lookup& lookup) {
    std::lock_guard lock(mutex_);
    auto known = known_.find(pid);
    if (known == known_.end())
        return lookup(pid);
    auto& slot = known->second.*memo;
    if (!slot)
        slot = lookup(pid);
    return *slot;
}

ApplicationMatcher::Lookups ProcessFactsCache::lookups() {
    ApplicationMatcher::Lookups memoized;
    memoized.launchedDesktopFile = [this](Pid pid) {
        return remembered(pid, &Known::launchedDesktopFile, source_.lookups.launchedDesktopFile);
    };
    memoized.flatpakAppId = [this](Pid pid) {
        return remembered(pid, &Known::flatpakAppId, source_.lookups.flatpakAppId);
    };
    memoized.snapName = [this](Pid pid) {
        return remembered(pid, &Known::snapName, source_.lookups.snapName);
    };
    return memoized;
}

}  // namespace vantlo
