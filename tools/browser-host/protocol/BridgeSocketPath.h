#pragma once
// Where Vantlo listens for browser hosts: a socket in a folder only this user may enter,
// "$XDG_RUNTIME_DIR/vantlo/browser-bridge.sock", or "/tmp/vantlo-<uid>/browser-bridge.sock" on a
// system without a runtime folder.

#include <string>

#include <sys/types.h>

namespace vantlo::bridge {

std::string bridgeSocketFolder(const char* runtimeDirectory, uid_t uid);
std::string bridgeSocketPath(const char* runtimeDirectory, uid_t uid);
// The same for this process, from its environment.
std::string bridgeSocketPath();

// True when `folder` is a real folder (not a link) owned by `uid` that no one else may enter
// (mode 0700). A socket in any other folder could belong to someone else.
bool isPrivateFolder(const std::string& folder, uid_t uid);

}  // namespace vantlo::bridge
