#pragma once
// Where each supported browser on Linux looks for this user's native-messaging host manifests,
// how to tell that it is installed, and how its user adds the Vantlo Tabs extension.

#include <string>
#include <vector>

namespace vantlo {

struct BrowserHostTarget {
    enum class Kind {
        chromium,         // loads the unpacked extension folder
        firefoxUnsigned,  // ESR and Developer Edition: the unsigned XPI after one preference
        firefoxRelease,   // accepts signed add-ons only
    };

    // The name the bridge reports for a connected browser (its scripting name).
    std::string applicationName;
    Kind kind = Kind::chromium;
    // The per-user manifest folder: relative to the configuration home ($XDG_CONFIG_HOME, where
    // the Chromium family keeps its profiles) or, for Firefox, to the home folder.
    std::string manifestFolder;
    // Executables on PATH that mean the browser is installed.
    std::vector<std::string> executables;
    // Where the browser opens its extension page.
    std::string extensionsPage;
    // Whether `manifestFolder` is below the configuration home (else below the home folder).
    bool underConfigHome = true;
    // The system-wide manifest folders the browser reads (where the package puts a manifest).
    std::vector<std::string> systemManifestFolders;

    // Every supported browser, in the order reports list them.
    static const std::vector<BrowserHostTarget>& all();
};

}  // namespace vantlo
