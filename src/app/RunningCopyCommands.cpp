#include "app/RunningCopyCommands.h"

#include <algorithm>
#include <cstdlib>

#include "platform/NotificationCenter.h"

namespace vantlo::RunningCopyCommands {
namespace {

std::string joined(const std::vector<std::string>& words) {
    std::string text;
    for (const auto& word : words)
        text += (text.empty() ? "" : ", ") + word;
    return text;
}

std::vector<std::string> words(std::string_view line) {
    std::vector<std::string> result;
    std::size_t start = 0;
    while (start < line.size()) {
        auto end = line.find(' ', start);
        if (end == std::string_view::npos)
            end = line.size();
        if (end > start)
            result.emplace_back(line.substr(start, end - start));
        start = end + 1;
    }
    return result;
}

std::string error(const std::string& sentence) {
    return kErrorPrefix + sentence;
}

}  // namespace

const std::vector<RunningCopyCommand>& all() {
    static const std::vector<RunningCopyCommand> commands = {
        {"preferences",
         "Vantlo.openPreferences",
         {"general", "shortcuts", "appearance", "exceptions", "feedback"},
         "open the preferences of the running Vantlo, at PANE if given"},
        {"show", "Vantlo.triggerForward", {}, "show the switcher, as the hot key does"},
        {"guide", "Vantlo.showGuide", {}, "open the first-run guide of the running Vantlo"},
        {"quit", "Vantlo.quit", {}, "quit the running Vantlo"},
    };
    return commands;
}

const RunningCopyCommand* find(std::string_view name) {
    const auto& commands = all();
    auto found = std::find_if(commands.begin(), commands.end(),
                              [name](const RunningCopyCommand& c) { return c.name == name; });
    if (found != commands.end())
        return &*found;
    static const RunningCopyCommand stall{
        "stall", kTestStallNotification, {}, "block the running copy's main thread (tests)"};
    if (name == stall.name && std::getenv(kTestStallVariable) != nullptr)
        return &stall;
    return nullptr;
}

std::optional<std::string> checkArguments(const RunningCopyCommand& command,
                                          const std::vector<std::string>& arguments) {
    if (arguments.empty())
        return std::nullopt;
    if (command.arguments.empty())
        return "'" + command.name + "' takes no argument";
    if (arguments.size() > 1)
        return "'" + command.name + "' takes one argument at most";
    const auto& allowed = command.arguments;
    if (std::find(allowed.begin(), allowed.end(), arguments.front()) == allowed.end())
        return "unknown argument '" + arguments.front() + "' for '" + command.name +
               "' (one of: " + joined(allowed) + ")";
    return std::nullopt;
}

std::string requestLine(const RunningCopyCommand& command,
                        const std::vector<std::string>& arguments) {
    return arguments.empty() ? command.name : command.name + " " + arguments.front();
}

std::string answer(std::string_view request, NotificationCenter& notifications) {
    auto parts = words(request);
    if (parts.empty())
        return error("empty request");
    const RunningCopyCommand* command = find(parts.front());
    if (command == nullptr)
        return error("unknown command '" + parts.front() + "'");
    std::vector<std::string> arguments(parts.begin() + 1, parts.end());
    if (auto problem = checkArguments(*command, arguments))
        return error(*problem);
    notifications.post(command->notification,
                       std::string(arguments.empty() ? "" : arguments.front()));
    return kOk;
}

}  // namespace vantlo::RunningCopyCommands
