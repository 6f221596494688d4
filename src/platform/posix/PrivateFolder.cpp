#include "platform/posix/PrivateFolder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace vantlo {

std::string PrivateFolder::systemError(const std::string& what) {
    return what + ": " + std::strerror(errno);
}

bool PrivateFolder::prepare(const std::string& folder, Rule rule, std::string& error) {
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
        error = systemError("cannot create " + folder);
        return false;
    }
    struct stat info {};
    if (::lstat(folder.c_str(), &info) != 0) {
        error = systemError("cannot read " + folder);
        return false;
    }
    mode_t forbidden = rule == Rule::noAccessByOthers ? (S_IRWXG | S_IRWXO) : (S_IWGRP | S_IWOTH);
    if (!S_ISDIR(info.st_mode) || info.st_uid != ::geteuid() || (info.st_mode & forbidden) != 0) {
        error = folder + " is not a private folder of this user";
        return false;
    }
    return true;
}

}  // namespace vantlo
