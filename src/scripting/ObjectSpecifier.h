#pragma once
// A reference to one object inside a scriptable application: a path of elements from the
// application down ("tab 3 of window 1"), each picked by position or by the application's own id.

#include <cstdint>
#include <string>
#include <vector>

namespace vantlo {

struct SpecifierStep {
    enum class By { index, id };

    std::string elementClass;  // "window", "tab"
    By by = By::index;
    std::int64_t index = 0;  // from 1, when by index
    std::string id;          // the application's own id, when by id

    static SpecifierStep atIndex(std::string elementClass, std::int64_t index);
    static SpecifierStep withID(std::string elementClass, std::string id);
    bool operator==(const SpecifierStep&) const = default;
};

struct ObjectSpecifier {
    std::string application;          // the name the script addressed it by
    std::vector<SpecifierStep> path;  // empty: the application itself

    ObjectSpecifier child(SpecifierStep step) const;
    // Script-like text for logs and tests: "tab id 7 of window 1 of application \"Chromium\"".
    std::string describe() const;
    bool operator==(const ObjectSpecifier&) const = default;
};

// The offset of a script's element position in a list of `count` elements. Scripts count from 1,
// and from the end with negative positions ("window -1" is the last); 0 and positions past either
// end name nothing.
bool elementPosition(std::int64_t index, std::size_t count, std::size_t& out);

}  // namespace vantlo
