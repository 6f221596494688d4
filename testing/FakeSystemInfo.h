#pragma once
// Facts about the running system, fixed per fake desktop and settable by tests.

#include <mutex>

#include "platform/SystemInfo.h"

namespace vantlo {

class FakeSystemInfo : public SystemInfo {
  public:
    FakeSystemInfo(std::string name, std::string version, std::string architecture)
        : name_(std::move(name)),
          version_(std::move(version)),
          architecture_(std::move(architecture)) {}

    std::string operatingSystemName() override {
        std::lock_guard lock(mutex_);
        return name_;
    }
    std::string operatingSystemVersion() override {
        std::lock_guard lock(mutex_);
        return version_;
    }
    std::string machineArchitecture() override {
        std::lock_guard lock(mutex_);
        return architecture_;
    }
    void set(std::string name, std::string version, std::string architecture) {
        std::lock_guard lock(mutex_);
        name_ = std::move(name);
        version_ = std::move(version);
        architecture_ = std::move(architecture);
    }

  private:
    std::mutex mutex_;
    std::string name_;
    std::string version_;
    std::string architecture_;
};

}  // namespace vantlo
