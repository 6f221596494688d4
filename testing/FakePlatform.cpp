#include "testing/FakePlatform.h"

namespace vantlo {
namespace {
MainBundleInfo mainBundleFor(FakePlatform::Facts facts) {
    if (facts == FakePlatform::Facts::macOS)
        return {"com.local.vantlo", "/Applications/Vantlo.app",
                "/Applications/Vantlo.app/Contents/Resources", "1.2.0", "42"};
    return {"com.local.vantlo", "/usr/bin/vantlo", "/usr/share/vantlo", "1.2.0", "42"};
}

std::string homeFor(FakePlatform::Facts facts) {
    return facts == FakePlatform::Facts::macOS ? "/Users/tester" : "/home/tester";
}
}  // namespace

FakePlatform::FakePlatform(Facts facts)
    : clock(std::make_shared<FakeClock>()),
      dispatch(std::make_shared<FakeDispatch>(clock)),
      defaults(std::make_shared<MemoryDefaults>()),
      notifications(std::make_shared<NotificationCenter>(*dispatch)),
      effects(std::make_shared<FakeEffects>()),
      desktop(std::make_shared<FakeDesktop>(*notifications, effects)),
      bundles(std::make_shared<FakeAppBundles>(mainBundleFor(facts))),
      workspace(std::make_shared<FakeWorkspace>(*desktop, *bundles, *dispatch)),
      accessibility(std::make_shared<FakeAccessibility>(*desktop)),
      windowServer(std::make_shared<FakeWindowServer>(*desktop)),
      files(std::make_shared<FakeFileSystem>(*dispatch, homeFor(facts))),
      processes(std::make_shared<FakeProcesses>(*desktop)),
      scripts(std::make_shared<FakeScriptEngine>(effects)),
      urls(std::make_shared<FakeUrlLoader>(*dispatch)),
      images(std::make_shared<FakeImageCodec>()),
      pasteboard(std::make_shared<FakePasteboard>(effects)),
      sound(std::make_shared<FakeSound>(effects)),
      screens(std::make_shared<FakeScreens>()),
      hotKeys(std::make_shared<FakeHotKeys>()),
      loginItems(std::make_shared<FakeLoginItems>()),
      log(std::make_shared<FakeLog>(effects)),
      systemInfo(facts == Facts::macOS
                     ? std::make_shared<FakeSystemInfo>("macOS", "14.5 (23F79)", "arm64")
                     : std::make_shared<FakeSystemInfo>(
                           "Linux", "Debian GNU/Linux 12, kernel 6.1.0-18-amd64", "x86_64")),
      updater(facts == Facts::macOS ? std::make_shared<FakeUpdater>() : nullptr),
      services_(std::make_shared<Platform>()) {
    services_->clock = clock;
    services_->dispatch = dispatch;
    services_->defaults = defaults;
    services_->notifications = notifications;
    services_->workspace = workspace;
    services_->accessibility = accessibility;
    services_->windowServer = windowServer;
    services_->hotKeys = hotKeys;
    services_->scriptEngine = scripts;
    services_->urlLoader = urls;
    services_->imageCodec = images;
    services_->appBundles = bundles;
    services_->fileSystem = files;
    services_->pasteboard = pasteboard;
    services_->sound = sound;
    services_->screens = screens;
    services_->processes = processes;
    services_->loginItems = loginItems;
    services_->updater = updater;
    services_->log = log;
    services_->systemInfo = systemInfo;
    services_->facts = facts == Facts::macOS
                           ? PlatformFacts::macOS(homeFor(facts))
                           : PlatformFacts::linux(homeFor(facts), "", {}, "org.gnome.Nautilus");
    installPlatform(services_);
}

FakePlatform::~FakePlatform() {
    installPlatform(nullptr);
}

FakeWindow& FakePlatform::addWindow(FakeApp& app, FakeWindow spec) {
    return desktop->addWindow(app, std::move(spec));
}

void FakePlatform::addInstalledApp(const std::string& path, const std::string& bundleID,
                                   const std::string& name) {
    BundleInfo bundle;
    bundle.path = path;
    bundle.identifier = bundleID;
    bundle.info[BundleKeys::name] = name;
    addInstalledApp(std::move(bundle));
}

void FakePlatform::addInstalledApp(BundleInfo bundle) {
    if (bundle.path.ends_with(".app"))
        files->addPackage(bundle.path);
    else
        files->addFile(bundle.path);
    bundles->add(std::move(bundle));
}

FakeApp& FakePlatform::launchInstalledApp(const std::string& path) {
    FakeApp spec;
    spec.bundlePath = path;
    if (auto bundle = bundles->open(path)) {
        spec.bundleID = bundle->identifier;
        auto name = bundle->info.find(BundleKeys::name);
        if (name != bundle->info.end())
            spec.name = name->second.asString();
    }
    spec.icon = workspace->iconForFile(path);
    return desktop->addApp(std::move(spec));
}

}  // namespace vantlo
