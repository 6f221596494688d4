#include "app/SpreadWork.h"

#include <system_error>
#include <thread>
#include <vector>

#if defined(__linux__)
#include <pthread.h>
#include <sched.h>
#endif

namespace vantlo::SpreadWork {
namespace {

#if defined(__linux__)
struct Helper {
    const std::function<void(std::size_t)>* work;
    std::size_t index;
    cpu_set_t allowed;
    pthread_t thread;
};

void* runHelper(void* argument) {
    auto* helper = static_cast<Helper*>(argument);
    // Placed at first, it may go anywhere from now on: should its processor get busy with
    // something else, the scheduler can move it.
    sched_setaffinity(0, sizeof helper->allowed, &helper->allowed);
    (*helper->work)(helper->index);
    return nullptr;
}

// A new thread is often started on its creator's processor, ahead of the creator, which then
// waits for another processor to take it: under a hypervisor, with the other processor idle,
// that took a millisecond or more, and the helper did all the work alone. So each helper is
// started where the caller is not.
void runPlaced(std::size_t threads, const std::function<void(std::size_t)>& work) {
    std::vector<Helper> helpers(threads);
    cpu_set_t allowed;
    CPU_ZERO(&allowed);
    const bool placed = sched_getaffinity(0, sizeof allowed, &allowed) == 0;
    cpu_set_t elsewhere = allowed;
    const int here = sched_getcpu();
    if (placed && here >= 0 && CPU_COUNT(&elsewhere) > 1)
        CPU_CLR(here, &elsewhere);
    std::size_t started = 1;
    for (; started < threads; ++started) {
        Helper& helper = helpers[started];
        helper = {&work, started, allowed, {}};
        pthread_attr_t attributes;
        if (pthread_attr_init(&attributes) != 0)
            break;
        if (placed)
            pthread_attr_setaffinity_np(&attributes, sizeof elsewhere, &elsewhere);
        const int failed = pthread_create(&helper.thread, &attributes, runHelper, &helper);
        pthread_attr_destroy(&attributes);
        if (failed != 0)
            break;  // no more threads to be had: the others do the work
    }
    work(0);
    for (std::size_t i = 1; i < started; ++i)
        pthread_join(helpers[i].thread, nullptr);
}
#endif

}  // namespace

void run(std::size_t threads, const std::function<void(std::size_t)>& work) {
#if defined(__linux__)
    runPlaced(threads, work);
#else
    std::vector<std::thread> helpers;
    for (std::size_t t = 1; t < threads; ++t) {
        try {
            helpers.emplace_back(work, t);
        } catch (const std::system_error&) {
            break;  // no more threads to be had: the others do the work
        }
    }
    work(0);
    for (auto& helper : helpers)
        helper.join();
#endif
}

}  // namespace vantlo::SpreadWork
