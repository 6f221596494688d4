#pragma once
// The set of platform services one running Vantlo uses, installed once at start-up (the real
// desktop) or by a test (the fake desktop). Logic code reaches the services through `platform()`;
// process-wide stores take what they need from it when they are created.

#include <memory>

#include "platform/Accessibility.h"
#include "platform/AppBundles.h"
#include "platform/Clock.h"
#include "platform/Defaults.h"
#include "platform/Dispatch.h"
#include "platform/FileSystem.h"
#include "platform/HotKeys.h"
#include "platform/ImageCodec.h"
#include "platform/Log.h"
#include "platform/LoginItems.h"
#include "platform/NotificationCenter.h"
#include "platform/Pasteboard.h"
#include "platform/PlatformFacts.h"
#include "platform/Processes.h"
#include "platform/Screens.h"
#include "platform/ScriptEngine.h"
#include "platform/Sound.h"
#include "platform/SystemInfo.h"
#include "platform/Updater.h"
#include "platform/UrlLoader.h"
#include "platform/WindowServer.h"
#include "platform/Workspace.h"

namespace vantlo {

struct Platform {
    std::shared_ptr<Dispatch> dispatch;
    std::shared_ptr<Clock> clock;
    std::shared_ptr<Defaults> defaults;
    std::shared_ptr<NotificationCenter> notifications;
    std::shared_ptr<Workspace> workspace;
    std::shared_ptr<Accessibility> accessibility;
    std::shared_ptr<WindowServer> windowServer;
    std::shared_ptr<HotKeys> hotKeys;
    std::shared_ptr<ScriptEngine> scriptEngine;
    std::shared_ptr<UrlLoader> urlLoader;
    std::shared_ptr<ImageCodec> imageCodec;
    std::shared_ptr<AppBundles> appBundles;
    std::shared_ptr<FileSystem> fileSystem;
    std::shared_ptr<Pasteboard> pasteboard;
    std::shared_ptr<Sound> sound;
    std::shared_ptr<Screens> screens;
    std::shared_ptr<Processes> processes;
    std::shared_ptr<LoginItems> loginItems;
    std::shared_ptr<Updater> updater;  // may be null: no update framework on this platform
    std::shared_ptr<Log> log;
    std::shared_ptr<SystemInfo> systemInfo;
    PlatformFacts facts;
};

// Installs the services every later `platform()` call returns. Replacing an installed platform is
// for tests; they also reset the process-wide stores that captured the previous one.
void installPlatform(std::shared_ptr<Platform> services);
// The installed services. Calling it before `installPlatform` is a programming error and ends the
// process with a message.
Platform& platform();
bool hasPlatform();

}  // namespace vantlo
