#include "app/HeadlessPlatform.h"

#include "app/RecencyHistoryFile.h"
#include "platform/posix/ExecutableBundle.h"
#include "platform/posix/JsonFileDefaults.h"
#include "platform/posix/PosixFileSystem.h"
#include "platform/posix/PosixProcesses.h"
#include "platform/posix/PosixSystemInfo.h"
#include "platform/posix/StandardErrorLog.h"
#include "platform/posix/SystemClock.h"
#include "platform/posix/ThreadDispatch.h"
#include "platform/posix/XdgFacts.h"

namespace vantlo {

std::shared_ptr<Platform> HeadlessPlatform::create(const std::string& defaultsPath) {
    auto p = std::make_shared<Platform>();
    auto log = std::make_shared<StandardErrorLog>();
    auto files = std::make_shared<PosixFileSystem>();
    p->log = log;
    p->dispatch = std::make_shared<ThreadDispatch>();
    p->clock = std::make_shared<SystemClock>();
    p->defaults = std::make_shared<JsonFileDefaults>(
        defaultsPath.empty() ? JsonFileDefaults::defaultPath() : defaultsPath, log,
        recencyHistoryFile());
    p->notifications = std::make_shared<NotificationCenter>(*p->dispatch);
    p->processes = std::make_shared<PosixProcesses>(log);
    p->fileSystem = files;
    p->systemInfo = std::make_shared<PosixSystemInfo>();
    p->appBundles = std::make_shared<ExecutableBundle>();
    // The folder handler is left unknown: finding it runs a helper program no command needs.
    p->facts = XdgFacts::fromEnvironment(files->homeDirectory(), nullptr);
    return p;
}

}  // namespace vantlo
