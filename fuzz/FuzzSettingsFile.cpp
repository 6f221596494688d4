// Feeds arbitrary bytes to the settings store as its file (defaults.json), the way a user's
// editor, a synchronisation tool or a damaged disk may leave it. Whatever the bytes: no crash; a
// file the store cannot use is set aside, never kept in place; and the values the store reads
// survive being saved and read again, each with its type.

#include <unistd.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "fuzz/FuzzCheck.h"
#include "platform/posix/JsonFileDefaults.h"

using namespace vantlo;

namespace {

// Equal values, where a NaN equals a NaN (the store keeps NaN as a tagged real).
bool same(const PropertyValue& a, const PropertyValue& b);

template <typename Container>
bool sameElements(const Container& a, const Container& b) {
    if (a.size() != b.size())
        return false;
    auto j = b.begin();
    for (auto i = a.begin(); i != a.end(); ++i, ++j) {
        if constexpr (requires { i->first; }) {
            if (i->first != j->first || !same(i->second, j->second))
                return false;
        } else if (!same(*i, *j)) {
            return false;
        }
    }
    return true;
}

bool same(const PropertyValue& a, const PropertyValue& b) {
    if (a.isReal() && b.isReal() && std::isnan(*a.asReal()) && std::isnan(*b.asReal()))
        return true;
    if (a.isArray() && b.isArray())
        return sameElements(*a.asArray(), *b.asArray());
    if (a.isDictionary() && b.isDictionary())
        return sameElements(*a.asDictionary(), *b.asDictionary());
    return a == b;
}

// A fresh folder for one input, removed when the input is done (kept when it crashes, to look at).
class ScratchFolder {
  public:
    ScratchFolder() {
        // Memory-backed where there is one: every input is written, saved and synced.
        std::error_code error;
        auto base = std::filesystem::is_directory("/dev/shm", error)
                        ? std::filesystem::path("/dev/shm")
                        : std::filesystem::temp_directory_path();
        std::string pattern = base / "fuzz-settings-XXXXXX";
        FUZZ_CHECK(::mkdtemp(pattern.data()) != nullptr);
        path_ = pattern;
    }
    ~ScratchFolder() { std::filesystem::remove_all(path_); }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    const std::filesystem::path& path() const { return path_; }

  private:
    std::filesystem::path path_;
};

void writeFile(const std::filesystem::path& path, const std::uint8_t* data, std::size_t size) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    FUZZ_CHECK(out.good());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ScratchFolder folder;
    const auto path = folder.path() / "defaults.json";
    writeFile(path, data, size);

    // The keys the store may hold: those of the file's top-level object, when it is one.
    auto document = nlohmann::json::parse(data, data + size, nullptr, /*allow_exceptions=*/false);
    std::vector<std::string> keys;
    if (document.is_object()) {
        for (const auto& [key, member] : document.items())
            keys.push_back(key);
    }

    std::map<std::string, PropertyValue> read;
    {
        JsonFileDefaults store(path.string(), nullptr);
        FUZZ_CHECK(store.savesChanges());
        bool setAside = !std::filesystem::exists(path);
        for (const auto& key : keys) {
            if (auto value = store.object(key))
                read.emplace(key, *value);
        }
        // A file that does not hold a JSON object cannot have been read as settings.
        if (!document.is_object())
            FUZZ_CHECK(read.empty());
        if (setAside)
            FUZZ_CHECK(read.empty());
        // Otherwise every member with a value is a setting (null is no value).
        if (document.is_object() && !setAside) {
            for (const auto& [key, member] : document.items())
                FUZZ_CHECK(member.is_null() || read.count(key) == 1);
        }
        // Any change rewrites the whole file from what was read.
        store.set("Vantlo.Fuzz", PropertyValue(std::int64_t{1}));
        store.flush();
    }
    JsonFileDefaults again(path.string(), nullptr);
    FUZZ_CHECK(std::filesystem::exists(path));
    auto marker = again.object("Vantlo.Fuzz");
    FUZZ_CHECK(marker && *marker == PropertyValue(std::int64_t{1}));
    for (const auto& [key, value] : read) {
        if (key == "Vantlo.Fuzz")
            continue;
        auto reread = again.object(key);
        FUZZ_CHECK(reread && same(*reread, value));
    }
    return 0;
}
