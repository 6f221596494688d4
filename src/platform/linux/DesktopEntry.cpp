#include "platform/linux/DesktopEntry.h"

#include <algorithm>
#include <cstdlib>
#include <map>
#include <sstream>

#include "platform/AsciiText.h"
#include "platform/posix/RegularFile.h"

namespace vantlo {
namespace {

std::string trim(const std::string& s) {
    return std::string(AsciiText::trimmed(s, AsciiText::kLineBlanks));
}

// Desktop-entry string escapes: \s \n \t \r \\.
std::string unescape(const std::string& value) {
    std::string out;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '\\' || i + 1 == value.size()) {
            out += value[i];
            continue;
        }
        char next = value[++i];
        switch (next) {
            case 's':
                out += ' ';
                break;
            case 'n':
                out += '\n';
                break;
            case 't':
                out += '\t';
                break;
            case 'r':
                out += '\r';
                break;
            case '\\':
                out += '\\';
                break;
            default:
                // Not a string escape: left for the Exec quoting rules to read.
                out += '\\';
                out += next;
        }
    }
    return out;
}

// The words of an Exec value, honouring double quotes.
std::vector<std::string> execWords(const std::string& exec) {
    std::vector<std::string> words;
    std::string current;
    bool quoted = false, inWord = false;
    for (std::size_t i = 0; i < exec.size(); ++i) {
        char c = exec[i];
        if (quoted && c == '\\' && i + 1 < exec.size()) {
            current += exec[++i];
        } else if (c == '"') {
            quoted = !quoted;
            inWord = true;
        } else if (!quoted && (c == ' ' || c == '\t')) {
            if (inWord)
                words.push_back(current);
            current.clear();
            inWord = false;
        } else {
            current += c;
            inWord = true;
        }
    }
    if (inWord)
        words.push_back(current);
    return words;
}

bool isTrue(const std::string& value) {
    return value == "true" || value == "1";
}

}  // namespace

std::string DesktopEntry::execProgram() const {
    auto words = execWords(exec);
    std::size_t i = 0;
    if (i < words.size() && (words[i] == "env" || words[i].ends_with("/env"))) {
        ++i;
        while (i < words.size() && words[i].find('=') != std::string::npos)
            ++i;
    }
    if (i >= words.size() || words[i].empty() || words[i][0] == '%')
        return "";
    const std::string& program = words[i];
    auto slash = program.rfind('/');
    return slash == std::string::npos ? program : program.substr(slash + 1);
}

std::optional<DesktopEntry> DesktopEntry::parse(const std::string& text,
                                                const std::vector<std::string>& locales) {
    std::map<std::string, std::string> keys;
    bool inGroup = false, sawGroup = false;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        line = trim(line);
        if (line.empty() || line[0] == '#')
            continue;
        if (line[0] == '[') {
            inGroup = line == "[Desktop Entry]";
            sawGroup = sawGroup || inGroup;
            continue;
        }
        auto equals = line.find('=');
        if (!inGroup || equals == std::string::npos)
            continue;
        std::string key = trim(line.substr(0, equals));
        // The first occurrence of a key counts.
        keys.emplace(key, unescape(trim(line.substr(equals + 1))));
    }
    if (!sawGroup)
        return std::nullopt;
    DesktopEntry entry;
    entry.type = keys["Type"];
    entry.name = keys["Name"];
    entry.localizedName = entry.name;
    for (const auto& locale : locales) {
        auto it = keys.find("Name[" + locale + "]");
        if (it != keys.end() && !it->second.empty()) {
            entry.localizedName = it->second;
            break;
        }
    }
    entry.icon = keys["Icon"];
    entry.exec = keys["Exec"];
    entry.tryExec = keys["TryExec"];
    entry.startupWMClass = keys["StartupWMClass"];
    entry.hidden = isTrue(keys["Hidden"]);
    entry.noDisplay = isTrue(keys["NoDisplay"]);
    return entry;
}

std::optional<DesktopEntry> DesktopEntry::read(const std::string& path,
                                               const std::vector<std::string>& locales,
                                               std::string* refusal) {
    auto file = RegularFile::read(path, RegularFile::kDesktopEntryLimit);
    if (!file.ok()) {
        if (refusal && file.status != RegularFile::Status::missing)
            *refusal = file.failure();
        return std::nullopt;
    }
    auto entry = parse(file.contents, locales);
    if (entry)
        entry->path = path;
    return entry;
}

std::vector<std::string> DesktopEntry::userLocales() {
    std::string value;
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* v = std::getenv(variable);
        if (v != nullptr && *v != '\0') {
            value = v;
            break;
        }
    }
    if (value.empty() || value == "C" || value == "POSIX")
        return {};
    std::string modifier;
    if (auto at = value.find('@'); at != std::string::npos) {
        modifier = value.substr(at);
        value.erase(at);
    }
    if (auto dot = value.find('.'); dot != std::string::npos)
        value.erase(dot);
    std::string language = value.substr(0, value.find('_'));
    std::vector<std::string> tags;
    auto add = [&](const std::string& tag) {
        if (!tag.empty() && std::find(tags.begin(), tags.end(), tag) == tags.end())
            tags.push_back(tag);
    };
    if (!modifier.empty())
        add(value + modifier);
    add(value);
    if (!modifier.empty())
        add(language + modifier);
    add(language);
    return tags;
}

}  // namespace vantlo
