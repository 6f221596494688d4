#include "onboarding/DesktopKeyRelease.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>

#include "onboarding/DesktopBindingEdits.h"
#include "onboarding/OpenboxKeyBindings.h"
#include "platform/KeyCodes.h"
#include "platform/ModifierFlags.h"
#include "platform/Platform.h"
#include "settings/Localization.h"

namespace vantlo {
namespace {

namespace fs = std::filesystem;
using Outcome = DesktopKeyRelease::Outcome;

constexpr std::uintmax_t kMostConfigBytes = 4 * 1024 * 1024;
constexpr const char* kSystemOpenboxConfig = "/etc/xdg/openbox/rc.xml";

Outcome success() {
    return {true, {}};
}

Outcome failure(std::string message) {
    return {false, std::move(message)};
}

Outcome toolMissing(const std::string& tool) {
    return failure(localizedFormat("Vantlo could not run %@.", {tool}));
}

Outcome nothingFound(DesktopKind desktop) {
    // clang-format off
    return failure(localizedFormat("Vantlo found no Alt+Tab binding in %@'s settings. Change it in the desktop's keyboard settings, or use another shortcut.", {DesktopKinds::displayName(desktop)}));
    // clang-format on
}

std::optional<ProgramResult> run(const std::string& program, std::vector<std::string> arguments) {
    return platform().processes->run(program, arguments, DesktopKeyRelease::kToolTimeoutSeconds);
}

std::string withoutLineEnd(std::string text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
        text.pop_back();
    return text;
}

std::optional<std::string> readFile(const std::string& path) {
    std::error_code error;
    if (!fs::is_regular_file(path, error) || fs::file_size(path, error) > kMostConfigBytes)
        return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Replaces the file whole, so a reader never sees half of it.
bool writeFile(const std::string& path, const std::string& text) {
    std::error_code error;
    fs::create_directories(fs::path(path).parent_path(), error);
    const std::string temporary = path + ".vantlo-new";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!(out << text) || !out.flush())
            return false;
    }
    if (fs::exists(path, error))
        fs::permissions(temporary, fs::status(path, error).permissions(), error);
    fs::rename(temporary, path, error);
    if (error)
        fs::remove(temporary, error);
    return !error;
}

std::string userOpenboxConfig() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    const char* home = std::getenv("HOME");
    std::string base = config && *config ? config : std::string(home ? home : "") + "/.config";
    return base + "/openbox/rc.xml";
}

Outcome freeGSettings(DesktopKind desktop, PropertyDictionary& values) {
    bool changed = false;
    for (const auto& [schema, key] : DesktopBindingEdits::gsettingsKeys(desktop)) {
        auto current = run("gsettings", {"get", schema, key});
        if (!current)
            return toolMissing("gsettings");
        if (current->exitCode != 0)
            continue;  // this desktop version has no such key
        auto freed = DesktopBindingEdits::gsettingsWithoutAltTab(current->standardOutput);
        if (!freed)
            continue;
        auto set = run("gsettings", {"set", schema, key, *freed});
        if (!set || set->exitCode != 0)
            return failure(localizedFormat("Vantlo could not change %@.", {schema + " " + key}));
        values[schema + " " + key] = withoutLineEnd(current->standardOutput);
        changed = true;
    }
    return changed ? success() : nothingFound(desktop);
}

Outcome restoreGSettings(const PropertyDictionary& values) {
    for (const auto& [name, value] : values) {
        const auto space = name.find(' ');
        auto old = value.asString();
        if (space == std::string::npos || !old)
            continue;
        auto set = run("gsettings", {"set", name.substr(0, space), name.substr(space + 1), *old});
        if (!set)
            return toolMissing("gsettings");
        if (set->exitCode != 0)
            return failure(localizedFormat("Vantlo could not change %@.", {name}));
    }
    return success();
}

const std::vector<std::string> kXfconfArguments = {"-c", DesktopBindingEdits::kXfceChannel, "-p",
                                                   DesktopBindingEdits::kXfceAltTabProperty};

Outcome freeXfce(PropertyDictionary& values) {
    auto current = run("xfconf-query", kXfconfArguments);
    if (!current)
        return toolMissing("xfconf-query");
    if (current->exitCode != 0)
        return nothingFound(DesktopKind::xfce);
    auto arguments = kXfconfArguments;
    arguments.push_back("-r");
    auto reset = run("xfconf-query", arguments);
    if (!reset || reset->exitCode != 0)
        return failure(
            localizedFormat("Vantlo could not change %@.", {DesktopBindingEdits::kXfceChannel}));
    values[DesktopBindingEdits::kXfceAltTabProperty] = withoutLineEnd(current->standardOutput);
    return success();
}

Outcome restoreXfce(const PropertyDictionary& values) {
    for (const auto& [name, value] : values) {
        auto old = value.asString();
        if (!old)
            continue;
        auto arguments = kXfconfArguments;
        arguments.insert(arguments.end(), {"-n", "-t", "string", "-s", *old});
        auto set = run("xfconf-query", arguments);
        if (!set)
            return toolMissing("xfconf-query");
        if (set->exitCode != 0)
            return failure(localizedFormat("Vantlo could not change %@.", {name}));
    }
    return success();
}

// KDE Plasma 6 names its tools …6, Plasma 5 …5.
std::optional<ProgramResult> runKdeConfig(const std::string& tool,
                                          const std::vector<std::string>& arguments) {
    if (auto result = run(tool + "6", arguments))
        return result;
    return run(tool + "5", arguments);
}

std::vector<std::string> kdeEntryArguments() {
    return {"--file",  DesktopBindingEdits::kKdeShortcutsFile,
            "--group", DesktopBindingEdits::kKdeGroup,
            "--key",   DesktopBindingEdits::kKdeEntry};
}

void reconfigureKWin() {
    run("dbus-send", {"--session", "--type=method_call", "--dest=org.kde.KWin", "/KWin",
                      "org.kde.KWin.reconfigure"});
}

Outcome writeKdeEntry(const std::string& entry) {
    auto arguments = kdeEntryArguments();
    arguments.push_back(entry);
    auto written = runKdeConfig("kwriteconfig", arguments);
    if (!written)
        return toolMissing("kwriteconfig");
    if (written->exitCode != 0)
        return failure(localizedFormat("Vantlo could not change %@.",
                                       {DesktopBindingEdits::kKdeShortcutsFile}));
    reconfigureKWin();
    return success();
}

Outcome freeKde(PropertyDictionary& values) {
    auto current = runKdeConfig("kreadconfig", kdeEntryArguments());
    if (!current)
        return toolMissing("kreadconfig");
    std::string entry = withoutLineEnd(current->standardOutput);
    // Never changed: KWin's default applies.
    if (entry.empty())
        entry = std::string("Alt+Tab,Alt+Tab,") + DesktopBindingEdits::kKdeEntry;
    auto freed = DesktopBindingEdits::kdeEntryWithoutAltTab(entry);
    if (!freed)
        return nothingFound(DesktopKind::kdePlasma);
    auto outcome = writeKdeEntry(*freed);
    if (outcome.ok)
        values[DesktopBindingEdits::kKdeEntry] = entry;
    return outcome;
}

Outcome restoreKde(const PropertyDictionary& values) {
    for (const auto& [name, value] : values) {
        if (auto old = value.asString())
            return writeKdeEntry(*old);
    }
    return success();
}

Outcome reconfigureOpenbox() {
    auto result = run("openbox", {"--reconfigure"});
    if (!result || result->exitCode != 0)
        return toolMissing("openbox --reconfigure");
    return success();
}

Outcome freeOpenbox(const DesktopKeyRelease::Target& target, PropertyDictionary& record) {
    const std::string path =
        target.openboxConfigFile.empty() ? userOpenboxConfig() : target.openboxConfigFile;
    auto text = readFile(path);
    if (!text && target.openboxConfigFile.empty())
        text = readFile(kSystemOpenboxConfig);
    if (!text)
        return failure(localizedFormat("Vantlo could not read %@.", {path}));
    auto released = OpenboxKeyBindings::withoutAltTab(*text);
    if (!released)
        return nothingFound(DesktopKind::openbox);
    if (!writeFile(path, released->text))
        return failure(localizedFormat("Vantlo could not write %@.", {path}));
    record["file"] = path;
    PropertyArray removed(released->removed.begin(), released->removed.end());
    record["removed"] = removed;
    return reconfigureOpenbox();
}

Outcome restoreOpenbox(const PropertyDictionary& record) {
    auto file = record.find("file");
    auto removed = record.find("removed");
    auto path = file == record.end() ? std::nullopt : file->second.asString();
    auto blocks = removed == record.end() ? std::nullopt : removed->second.asStringArray();
    if (!path || !blocks)
        return success();
    auto text = readFile(*path);
    if (!text)
        return failure(localizedFormat("Vantlo could not read %@.", {*path}));
    auto restored = OpenboxKeyBindings::withRestored(*text, *blocks);
    if (!restored || !writeFile(*path, *restored))
        return failure(localizedFormat("Vantlo could not write %@.", {*path}));
    return reconfigureOpenbox();
}

std::optional<PropertyDictionary> storedRecord() {
    return platform().defaults->dictionary(DesktopKeyRelease::kRecordKey);
}

DesktopKind desktopOf(const PropertyDictionary& record) {
    auto desktop = record.find("desktop");
    auto name = desktop == record.end() ? std::nullopt : desktop->second.asString();
    return name ? DesktopKinds::fromName(*name) : DesktopKind::unknown;
}

}  // namespace

bool DesktopKeyRelease::canFree(DesktopKind desktop, const HotkeyConfig& hotkey) {
    return desktop != DesktopKind::unknown && hotkey.keyCode == KeyCode::tab &&
           hotkey.carbonModifiers == CarbonModifiers::option;
}

DesktopKeyRelease::Outcome DesktopKeyRelease::freeNow(const Target& target,
                                                      PropertyDictionary& record) {
    record["desktop"] = DesktopKinds::name(target.desktop);
    PropertyDictionary values;
    Outcome outcome = nothingFound(target.desktop);
    switch (target.desktop) {
        case DesktopKind::gnome:
        case DesktopKind::cinnamon:
        case DesktopKind::mate:
            outcome = freeGSettings(target.desktop, values);
            break;
        case DesktopKind::xfce:
            outcome = freeXfce(values);
            break;
        case DesktopKind::kdePlasma:
            outcome = freeKde(values);
            break;
        case DesktopKind::openbox:
            outcome = freeOpenbox(target, record);
            break;
        case DesktopKind::unknown:
            break;
    }
    if (!values.empty())
        record["values"] = values;
    return outcome;
}

DesktopKeyRelease::Outcome DesktopKeyRelease::giveBackNow(const PropertyDictionary& record) {
    const auto values = record.find("values");
    const PropertyDictionary empty;
    const PropertyDictionary* saved =
        values == record.end() ? &empty : values->second.asDictionary();
    if (!saved)
        saved = &empty;
    switch (desktopOf(record)) {
        case DesktopKind::gnome:
        case DesktopKind::cinnamon:
        case DesktopKind::mate:
            return restoreGSettings(*saved);
        case DesktopKind::xfce:
            return restoreXfce(*saved);
        case DesktopKind::kdePlasma:
            return restoreKde(*saved);
        case DesktopKind::openbox:
            return restoreOpenbox(record);
        case DesktopKind::unknown:
            break;
    }
    return success();
}

void DesktopKeyRelease::freeAltTab(Target target, Done done) {
    auto dispatch = platform().dispatch;
    dispatch->global(QualityOfService::userInitiated, [dispatch, target, done] {
        auto record = std::make_shared<PropertyDictionary>();
        auto outcome = freeNow(target, *record);
        dispatch->async([record, outcome, done] {
            // Remembered even when a later step failed: what was changed can still be undone.
            if (record->count("values") || record->count("removed"))
                platform().defaults->set(kRecordKey, *record);
            if (done)
                done(outcome);
        });
    });
}

bool DesktopKeyRelease::hasFreed() {
    return storedRecord().has_value();
}

std::string DesktopKeyRelease::freedDesktopName() {
    auto record = storedRecord();
    return record ? DesktopKinds::displayName(desktopOf(*record)) : std::string();
}

void DesktopKeyRelease::giveBack(Done done) {
    auto record = storedRecord();
    auto dispatch = platform().dispatch;
    if (!record) {
        if (done)
            dispatch->async([done] { done(success()); });
        return;
    }
    dispatch->global(QualityOfService::userInitiated, [dispatch, record, done] {
        auto outcome = giveBackNow(*record);
        dispatch->async([outcome, done] {
            if (outcome.ok)
                platform().defaults->remove(kRecordKey);
            if (done)
                done(outcome);
        });
    });
}

}  // namespace vantlo
