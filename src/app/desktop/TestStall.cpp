#include "app/desktop/TestStall.h"

#include <chrono>
#include <cstdlib>
#include <thread>

#include "app/RunningCopyCommands.h"

namespace vantlo {

Subscription observeTestStall(NotificationCenter& notifications) {
    const char* value = std::getenv(RunningCopyCommands::kTestStallVariable);
    if (value == nullptr)
        return {};
    const double seconds = std::atof(value);
    return notifications.addObserver(
        RunningCopyCommands::kTestStallNotification,
        [seconds](const Notification&) {
            std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
        },
        NotificationCenter::Delivery::mainQueue);
}

}  // namespace vantlo
