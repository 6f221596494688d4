#pragma once
// Sets or clears environment variables for one test and restores them afterwards.

#include <cstdlib>
#include <map>
#include <optional>
#include <string>

namespace vantlo::testing {

class ScopedEnvironment {
  public:
    ScopedEnvironment() = default;
    ~ScopedEnvironment() {
        for (const auto& [name, value] : saved_) {
            if (value)
                ::setenv(name.c_str(), value->c_str(), 1);
            else
                ::unsetenv(name.c_str());
        }
    }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

    // An empty value clears the variable.
    ScopedEnvironment& set(const std::string& name, const std::string& value) {
        if (!saved_.count(name)) {
            const char* old = std::getenv(name.c_str());
            saved_[name] = old ? std::optional<std::string>(old) : std::nullopt;
        }
        if (value.empty())
            ::unsetenv(name.c_str());
        else
            ::setenv(name.c_str(), value.c_str(), 1);
        return *this;
    }
    // The locale variables that choose the interface language, all at once.
    ScopedEnvironment& locale(const std::string& lang, const std::string& language = "") {
        return set("LC_ALL", "").set("LC_MESSAGES", "").set("LANG", lang).set("LANGUAGE", language);
    }

  private:
    std::map<std::string, std::optional<std::string>> saved_;
};

}  // namespace vantlo::testing
