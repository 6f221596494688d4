#include "browser/TabRecency.h"

#include <functional>
#include <mutex>

namespace vantlo::TabRecency {
namespace {

std::mutex recorderMutex;
std::function<void(const std::string&)> recorder;

}  // namespace

void setRecorder(std::function<void(const std::string&)> record) {
    std::lock_guard lock(recorderMutex);
    recorder = std::move(record);
}

void recordUse(const std::string& mruKey) {
    std::function<void(const std::string&)> record;
    {
        std::lock_guard lock(recorderMutex);
        record = recorder;
    }
    if (record)
        record(mruKey);
}

}  // namespace vantlo::TabRecency
