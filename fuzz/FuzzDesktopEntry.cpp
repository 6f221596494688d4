// Feeds arbitrary text to the desktop-entry parser, as any installed package or the user may
// write it. Whatever the text: no crash; a file without the [Desktop Entry] group is no entry;
// the same file with Windows line ends reads the same; the localized name falls back to the
// untranslated one; the program Exec names is a bare file name taken from Exec.

#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/FuzzCheck.h"
#include "platform/linux/DesktopEntry.h"

using namespace vantlo;

namespace {

bool sameEntry(const DesktopEntry& a, const DesktopEntry& b) {
    return a.type == b.type && a.name == b.name && a.localizedName == b.localizedName &&
           a.icon == b.icon && a.exec == b.exec && a.tryExec == b.tryExec &&
           a.startupWMClass == b.startupWMClass && a.hidden == b.hidden &&
           a.noDisplay == b.noDisplay;
}

std::string withWindowsLineEnds(const std::string& text) {
    std::string out;
    out.reserve(text.size() * 2);
    for (char c : text) {
        if (c == '\n')
            out += '\r';
        out += c;
    }
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    const std::vector<std::string> locales = {"de_DE@euro", "de_DE", "de@euro",
                                              "de",         "zh_CN", "zh"};
    auto entry = DesktopEntry::parse(text, locales);
    if (text.find("[Desktop Entry]") == std::string::npos)
        FUZZ_CHECK(!entry);
    if (!entry)
        return 0;
    FUZZ_CHECK(entry->name.empty() || !entry->localizedName.empty());
    FUZZ_CHECK(DesktopEntry::parse(text, {})->localizedName == entry->name);
    auto program = entry->execProgram();
    FUZZ_CHECK(program.find('/') == std::string::npos);
    // Without quotes or escapes, the program's name is spelled out in Exec.
    if (entry->exec.find_first_of("\"\\") == std::string::npos)
        FUZZ_CHECK(entry->exec.find(program) != std::string::npos);
    (void)entry->isDisplayable();

    auto windows = DesktopEntry::parse(withWindowsLineEnds(text), locales);
    FUZZ_CHECK(windows && sameEntry(*windows, *entry));
    return 0;
}
