#pragma once
// A scriptable media player for tests: understands "pause", "play" and "activate" and records
// every command it received, in order.

#include <string>
#include <vector>

#include "scripting/ScriptableApplication.h"

namespace vantlo {

class FakeMediaPlayerDictionary : public ScriptableApplication {
  public:
    const std::vector<std::string>& commands() const { return commands_; }

    DictionaryReply resolve(const ObjectSpecifier& object, const ScriptDeadline&) override {
        return DictionaryReply::failed("can't get " + object.describe());
    }
    DictionaryReply countElements(const ObjectSpecifier&, std::string_view elementClass,
                                  const ScriptDeadline&) override {
        return DictionaryReply::failed("can't count " + std::string(elementClass));
    }
    DictionaryReply getProperty(const ObjectSpecifier&, std::string_view property,
                                const ScriptDeadline&) override {
        return DictionaryReply::failed("can't get " + std::string(property));
    }
    DictionaryReply setProperty(const ObjectSpecifier&, std::string_view property,
                                const RuntimeValue&, const ScriptDeadline&) override {
        return DictionaryReply::failed("can't set " + std::string(property));
    }
    DictionaryReply perform(std::string_view command, const RuntimeValue& directParameter,
                            const ScriptDeadline&) override {
        bool known = command == "pause" || command == "play" || command == "activate";
        if (!known || !directParameter.isMissing())
            return DictionaryReply::failed("doesn't understand " + std::string(command));
        commands_.emplace_back(command);
        return DictionaryReply::ok();
    }

  private:
    std::vector<std::string> commands_;
};

}  // namespace vantlo
