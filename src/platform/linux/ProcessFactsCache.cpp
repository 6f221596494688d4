#include "platform/linux/ProcessFactsCache.h"

#include <algorithm>

namespace vantlo {

ProcessFactsCache::ProcessFactsCache(std::uint32_t uid) : ProcessFactsCache(uid, Source{}) {}

ProcessFactsCache::ProcessFactsCache(std::uint32_t uid, Source source)
    : uid_(uid), source_(std::move(source)) {}

const ProcessFactsCache::Known* ProcessFactsCache::refresh(Pid pid) {
    auto identity = source_.identity(pid);
    if (!identity || identity->uid != uid_) {
        known_.erase(pid);
        return nullptr;
    }
    if (auto old = known_.find(pid); old != known_.end() && old->second.identity == *identity)
        return &old->second;
    auto facts = source_.read(pid);
    if (!facts) {
        known_.erase(pid);
        return nullptr;
    }
    // One reading of the program, so the facts and the identity they are kept under agree.
    facts->executable = identity->executable;
    // Kept even without a command line, so a kernel thread is not read again every time.
    return &known_.insert_or_assign(pid, Known{*identity, std::move(*facts), {}, {}, {}})
                .first->second;
}

std::vector<ProcessFacts> ProcessFactsCache::processes() {
    std::lock_guard lock(mutex_);
    const std::vector<Pid> pids = source_.pids();
    std::vector<ProcessFacts> running;
    for (Pid pid : pids) {
        const Known* known = refresh(pid);
        if (known != nullptr && !known->facts.argv.empty())
            running.push_back(known->facts);
    }
    std::erase_if(known_, [&pids](const auto& entry) {
        return !std::binary_search(pids.begin(), pids.end(), entry.first);
    });
    return running;
}

std::optional<ProcessFacts> ProcessFactsCache::process(Pid pid) {
    std::lock_guard lock(mutex_);
    const Known* known = refresh(pid);
    if (known == nullptr || known->facts.argv.empty())
        return std::nullopt;
    return known->facts;
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
