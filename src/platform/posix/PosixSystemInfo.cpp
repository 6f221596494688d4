#include "platform/posix/PosixSystemInfo.h"

#include <sys/utsname.h>

#include <map>
#include <sstream>

#include "platform/posix/RegularFile.h"

namespace vantlo {
namespace {

std::string readFile(const char* path) {
    return RegularFile::read(path, RegularFile::kSmallSystemFileLimit).contents;
}

// os-release values are shell-style: optionally quoted, with backslash escapes.
std::string unquote(std::string value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        value = value.substr(1, value.size() - 2);
    }
    std::string out;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '\\' && i + 1 < value.size())
            ++i;
        out += value[i];
    }
    return out;
}

std::map<std::string, std::string> parseOsRelease(const std::string& text) {
    std::map<std::string, std::string> values;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        auto equals = line.find('=');
        if (line.empty() || line[0] == '#' || equals == std::string::npos)
            continue;
        values[line.substr(0, equals)] = unquote(line.substr(equals + 1));
    }
    return values;
}

}  // namespace

std::string PosixSystemInfo::distributionName(const std::string& osRelease) {
    auto values = parseOsRelease(osRelease);
    if (!values["PRETTY_NAME"].empty())
        return values["PRETTY_NAME"];
    std::string name = values["NAME"];
    if (!name.empty() && !values["VERSION_ID"].empty())
        name += " " + values["VERSION_ID"];
    return name;
}

std::string PosixSystemInfo::operatingSystemName() {
    return "Linux";
}

std::string PosixSystemInfo::operatingSystemVersion() {
    std::string distribution = distributionName(readFile("/etc/os-release"));
    if (distribution.empty())
        distribution = distributionName(readFile("/usr/lib/os-release"));
    utsname names{};
    std::string kernel = ::uname(&names) == 0 ? std::string(names.release) : "";
    if (distribution.empty() && kernel.empty())
        return "Unknown";
    if (kernel.empty())
        return distribution;
    return (distribution.empty() ? "Linux" : distribution) + ", kernel " + kernel;
}

std::string PosixSystemInfo::machineArchitecture() {
    utsname names{};
    if (::uname(&names) != 0)
        return "Unknown";
    return names.machine;
}

}  // namespace vantlo
