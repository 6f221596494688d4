#pragma once
// Runs one piece of work on several processors at once: the calling thread and helper threads.

#include <cstddef>
#include <functional>

namespace vantlo::SpreadWork {

// Calls work(0) on the calling thread and work(1) .. work(threads - 1) on helper threads, and
// returns when all have returned. Each helper starts on another processor than the caller's
// when there is one. Fewer helpers run when the system has no more threads to give: the work
// should share itself out as it goes, so that any number of calls gets it all done.
void run(std::size_t threads, const std::function<void(std::size_t)>& work);

}  // namespace vantlo::SpreadWork
