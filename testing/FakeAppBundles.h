#pragma once
// Application bundles held in memory: tests register what lies at a path; anything else does not
// open. FakePlatform::addInstalledApp also puts the bundle into the fake file tree.

#include <map>
#include <mutex>

#include "platform/AppBundles.h"

namespace vantlo {

class FakeAppBundles : public AppBundles {
  public:
    explicit FakeAppBundles(MainBundleInfo main) : main_(std::move(main)) {}

    std::optional<BundleInfo> open(const std::string& path) override {
        std::lock_guard lock(mutex_);
        auto it = bundles_.find(path);
        if (it == bundles_.end())
            return std::nullopt;
        return it->second;
    }
    MainBundleInfo mainBundle() override {
        std::lock_guard lock(mutex_);
        return main_;
    }

    void add(BundleInfo bundle) {
        std::lock_guard lock(mutex_);
        auto path = bundle.path;
        bundles_[path] = std::move(bundle);
    }
    void remove(const std::string& path) {
        std::lock_guard lock(mutex_);
        bundles_.erase(path);
    }
    void setMainBundle(MainBundleInfo main) {
        std::lock_guard lock(mutex_);
        main_ = std::move(main);
    }

  private:
    std::mutex mutex_;
    MainBundleInfo main_;
    std::map<std::string, BundleInfo> bundles_;
};

}  // namespace vantlo
