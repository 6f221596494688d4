#include "protocol/MessageCheck.h"

namespace vantlo::bridge::MessageCheck {
namespace {

using nlohmann::json;

CheckedMessage refuse(std::string why) {
    return {std::nullopt, std::move(why)};
}

// Brackets outside strings, counted before parsing, so that no parser or destructor recurses
// deeper than the limit.
bool nestingWithin(std::string_view text, int limit) {
    int depth = 0;
    bool inString = false;
    bool escaped = false;
    for (char c : text) {
        if (inString) {
            if (escaped)
                escaped = false;
            else if (c == '\\')
                escaped = true;
            else if (c == '"')
                inString = false;
        } else if (c == '"') {
            inString = true;
        } else if (c == '{' || c == '[') {
            if (++depth > limit)
                return false;
        } else if (c == '}' || c == ']') {
            --depth;
        }
    }
    return true;
}

CheckedMessage parseObject(std::string_view payload) {
    if (!nestingWithin(payload, kMaxNesting))
        return refuse("message nested deeper than " + std::to_string(kMaxNesting) + " levels");
    json value = json::parse(payload, nullptr, false);
    if (value.is_discarded())
        return refuse("message is not valid JSON");
    if (!value.is_object())
        return refuse("message is not a JSON object");
    return {std::move(value), {}};
}

bool isInteger(const json& object, const char* key) {
    auto it = object.find(key);
    return it != object.end() && (it->is_number_integer() || it->is_number_unsigned());
}

bool hasOptional(const json& object, const char* key, bool (json::*is)() const noexcept) {
    auto it = object.find(key);
    return it == object.end() || ((*it).*is)();
}

std::string typeOf(const json& object, const char* key) {
    auto it = object.find(key);
    return it != object.end() && it->is_string() ? it->get<std::string>() : std::string();
}

CheckedMessage checkReply(CheckedMessage message) {
    const json& value = *message.value;
    if (!isInteger(value, "id"))
        return refuse("reply without an integer \"id\"");
    auto ok = value.find("ok");
    if (ok == value.end() || !ok->is_boolean())
        return refuse("reply without a boolean \"ok\"");
    if (!hasOptional(value, "error", &json::is_string))
        return refuse("reply whose \"error\" is not a string");
    if (!hasOptional(value, "result", &json::is_object))
        return refuse("reply whose \"result\" is not an object");
    return message;
}

CheckedMessage checkEvent(CheckedMessage message) {
    const json& value = *message.value;
    std::string event = typeOf(value, "event");
    if (event == "changed")
        return message;
    if (event == "focus")
        return isInteger(value, "windowId") ? std::move(message)
                                            : refuse("focus event without an integer \"windowId\"");
    return refuse("unknown event \"" + event.substr(0, 40) + "\"");
}

CheckedMessage checkHello(CheckedMessage message) {
    const json& value = *message.value;
    if (!hasOptional(value, "extensionVersion", &json::is_string) ||
        !hasOptional(value, "privateWindowsAllowed", &json::is_boolean))
        return refuse("hello with fields of the wrong type");
    return message;
}

}  // namespace

CheckedMessage browserMessage(std::string_view payload) {
    CheckedMessage message = parseObject(payload);
    if (!message.ok())
        return message;
    std::string type = typeOf(*message.value, "type");
    if (type == "reply")
        return checkReply(std::move(message));
    if (type == "event")
        return checkEvent(std::move(message));
    if (type == "hello")
        return checkHello(std::move(message));
    return refuse("unknown message type \"" + type.substr(0, 40) + "\"");
}

CheckedMessage vantloRequest(std::string_view payload) {
    CheckedMessage message = parseObject(payload);
    if (!message.ok())
        return message;
    const json& value = *message.value;
    if (!isInteger(value, "id"))
        return refuse("request without an integer \"id\"");
    std::string command = typeOf(value, "command");
    json request = {{"id", value["id"]}, {"command", command}};
    const char* target = nullptr;
    if (command == "activate" || command == "close")
        target = "tabId";
    else if (command == "focusWindow")
        target = "windowId";
    else if (command != "list")
        return refuse("unknown command \"" + command.substr(0, 40) + "\"");
    if (target) {
        if (!isInteger(value, target))
            return refuse(command + " without an integer \"" + target + "\"");
        request[target] = value[target];
    }
    return {std::move(request), {}};
}

}  // namespace vantlo::bridge::MessageCheck
