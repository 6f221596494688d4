#pragma once
// The fake desktop on Linux facts with the shipped translation tables, for the pane models.

#include <gtest/gtest.h>

#include "settings/Localization.h"
#include "support/ScopedEnvironment.h"
#include "testing/FakePlatform.h"

namespace vantlo {

class PreferencesTest : public ::testing::Test {
  protected:
    PreferencesTest() {
        environment_.locale("en_US.UTF-8");
        Localization::setResourcesPath(VANTLO_SOURCE_DIR "/po");
        Localization::resetShared();
    }
    ~PreferencesTest() override {
        Localization::resetShared();
        Localization::setResourcesPath("");
    }
    int beeps() const { return fake_.sound->beepCount(); }

    testing::ScopedEnvironment environment_;
    FakePlatform fake_{FakePlatform::Facts::linux};
};

}  // namespace vantlo
