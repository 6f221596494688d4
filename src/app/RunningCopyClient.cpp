#include "app/RunningCopyClient.h"

#include <ostream>

#include "platform/posix/ControlSocket.h"

namespace vantlo::RunningCopyClient {

int run(const RunningCopyCommand& command, const std::vector<std::string>& arguments,
        const std::string& socketPath, std::ostream&, std::ostream& err) {
    if (auto problem = RunningCopyCommands::checkArguments(command, arguments)) {
        err << "vantlo: " << *problem << "\n"
            << "Try 'vantlo --help' for more information.\n";
        return 2;
    }
    auto exchange =
        ControlSocket::send(socketPath, RunningCopyCommands::requestLine(command, arguments));
    if (!exchange.reached) {
        err << "vantlo: Vantlo is not running (nothing answers at " << socketPath
            << "); start it with 'vantlo' first.\n";
        return 1;
    }
    if (!exchange.reply) {
        err << "vantlo: " << exchange.error << ".\n";
        return 1;
    }
    const std::string& reply = *exchange.reply;
    if (reply == RunningCopyCommands::kOk)
        return 0;
    std::string_view prefix = RunningCopyCommands::kErrorPrefix;
    err << "vantlo: the running copy refused '" << command.name
        << "': " << (reply.starts_with(prefix) ? reply.substr(prefix.size()) : reply) << "\n";
    return 1;
}

}  // namespace vantlo::RunningCopyClient
