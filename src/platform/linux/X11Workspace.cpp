#include "platform/linux/X11Workspace.h"

#include <gio/gdesktopappinfo.h>
#include <gio/gio.h>

#include <algorithm>

#include "platform/linux/ApplicationMatcher.h"
#include "platform/posix/RegularFile.h"

namespace vantlo {
namespace {

// GIO reads the entry itself and would block on a FIFO or read a device without end, so the path
// is checked to be a regular file of bounded size first. GIO is still given the path rather than
// the text: only then does it tell the launched program which entry started it
// (GIO_LAUNCHED_DESKTOP_FILE), which matches the new process to its application. Null, with the
// reason, when there is no such entry.
GDesktopAppInfo* appInfoFromEntry(const std::string& path, std::string& failure) {
    auto file = RegularFile::read(path, RegularFile::kDesktopEntryLimit);
    if (!file.ok()) {
        failure = file.failure();
        return nullptr;
    }
    failure = "is not an application's desktop entry";
    return g_desktop_app_info_new_from_filename(path.c_str());
}

// How long after a question the reading it was answered from is read again.
constexpr double kRevalidationDelay = 0.5;

std::string errorText(GError* error) {
    std::string text = error != nullptr && error->message != nullptr ? error->message : "unknown";
    if (error != nullptr)
        g_error_free(error);
    return text;
}

void rememberLaunchedPid(GDesktopAppInfo*, GPid pid, gpointer data) {
    *static_cast<Pid*>(data) = static_cast<Pid>(pid);
}

}  // namespace

std::shared_ptr<X11Workspace> X11Workspace::create(Services services) {
    std::shared_ptr<X11Workspace> workspace(new X11Workspace(std::move(services)));
    workspace->start();
    return workspace;
}

X11Workspace::X11Workspace(Services services)
    : s_(std::move(services)), processes_(s_.processes->currentUid()) {}

X11Workspace::~X11Workspace() {
    listener_.reset();
    exits_.reset();
}

void X11Workspace::start() {
    std::weak_ptr<X11Workspace> weak = weak_from_this();
    exits_ = std::make_unique<ProcessExitWatcher>([weak](Pid pid) {
        if (auto self = weak.lock())
            self->onProcessExit(pid);
    });
    if (!s_.connection)
        return;
    xcb_atom_t active = s_.connection->atoms()._NET_ACTIVE_WINDOW;
    xcb_window_t root = s_.connection->root();
    listener_ = s_.connection->addListener([weak, active, root](const xcb_generic_event_t& e) {
        if ((e.response_type & 0x7f) != XCB_PROPERTY_NOTIFY)
            return;
        const auto& notify = reinterpret_cast<const xcb_property_notify_event_t&>(e);
        if (notify.window != root || notify.atom != active)
            return;
        if (auto self = weak.lock()) {
            ++self->activations_;
            // Reading the applications takes round trips: not on the event thread.
            self->s_.dispatch->global(QualityOfService::utility, [weak] {
                if (auto self = weak.lock())
                    self->noteActivation();
            });
        }
    });
}

void X11Workspace::noteActivation() {
    if (s_.notifications)
        s_.notifications->post(kDidChangeActiveWindow);
    auto front = frontmostApplication();
    if (!front)
        return;
    {
        std::lock_guard lock(mutex_);
        if (front->pid == lastFrontmost_)
            return;
        lastFrontmost_ = front->pid;
    }
    remember({*front});
    if (s_.notifications)
        s_.notifications->post(kDidActivateApplication, *front);
}

void X11Workspace::remember(const std::vector<RunningApplication>& apps) {
    std::vector<Pid> fresh;
    {
        std::lock_guard lock(mutex_);
        for (const auto& app : apps) {
            if (known_.insert_or_assign(app.pid, app).second)
                fresh.push_back(app.pid);
        }
    }
    for (Pid pid : fresh)
        exits_->watch(pid);
}

void X11Workspace::onProcessExit(Pid pid) {
    std::optional<RunningApplication> app;
    {
        std::lock_guard lock(mutex_);
        auto it = known_.find(pid);
        if (it == known_.end())
            return;
        app = it->second;
        known_.erase(it);
        if (lastFrontmost_ == pid)
            lastFrontmost_ = 0;
        if (recent_) {
            std::erase_if(recent_->apps,
                          [pid](const RunningApplication& a) { return a.pid == pid; });
            recent_->processEnded = true;
        }
        front_.reset();
    }
    app->isTerminated = true;
    if (s_.notifications)
        s_.notifications->post(kDidTerminateApplication, *app);
}

std::shared_ptr<const X11WindowSnapshot> X11Workspace::recentWindows() {
    static const auto none = std::make_shared<const X11WindowSnapshot>();
    return s_.connection ? s_.windows->recentSnapshot() : none;
}

std::map<Pid, ProcessWindows> X11Workspace::listedWindowsByProcess(
    const X11WindowSnapshot& snapshot) {
    // The snapshot lists windows topmost first. Ranks count listed windows only, so an unlisted
    // one coming up (the switcher's own panel) leaves the reading as it was.
    std::map<Pid, ProcessWindows> windows;
    std::size_t rank = 0;
    for (const auto& window : snapshot.windows) {
        if (!window.isListed() || window.pid <= 0)
            continue;
        auto& own = windows[window.pid];
        if (!own.topmostRank)
            own.topmostRank = rank;
        ++rank;
        own.hasNormalWindow = own.hasNormalWindow || window.kind == X11Window::Kind::normal;
        own.wmClasses.emplace_back(window.instanceName, window.className);
    }
    return windows;
}

std::vector<RunningApplication> X11Workspace::runningApplications() {
    // A reading depends on which clients there are and their order: while none came, went or
    // moved, the last snapshot answers without asking the server.
    auto snapshot = s_.connection ? s_.windows->lastSnapshot() : nullptr;
    {
        std::lock_guard lock(mutex_);
        if (recent_) {
            const bool outdated =
                recent_->processEnded || !snapshot || recent_->snapshot != snapshot;
            // The main thread may be summoning the switcher: it gets the last reading at once,
            // and a changed desktop is read in the background for the next question.
            if (!outdated || (s_.windows && s_.windows->mustNotWait()))
                return answerFromRecentReading(outdated);
        }
    }
    if (!snapshot)
        snapshot = recentWindows();
    auto windows = listedWindowsByProcess(*snapshot);
    {
        std::lock_guard lock(mutex_);
        if (recent_ && !recent_->processEnded && recent_->windows == windows) {
            recent_->snapshot = snapshot;
            return answerFromRecentReading(false);
        }
    }
    return readApplications(std::move(snapshot), std::move(windows));
}

std::vector<RunningApplication> X11Workspace::answerFromRecentReading(bool outdated) {
    const bool old =
        std::chrono::steady_clock::now() - recent_->takenAt >= X11WindowList::kRecentLifetime;
    if ((outdated || old) && !revalidating_) {
        revalidating_ = true;
        // Not at once: the question is most likely part of a summon, which should have the
        // processors and the display connection to itself until the panel is up.
        std::weak_ptr<X11Workspace> weak = weak_from_this();
        s_.dispatch->asyncAfter(kRevalidationDelay, [weak] {
            if (auto self = weak.lock())
                self->s_.dispatch->global(QualityOfService::utility, [weak] {
                    if (auto self = weak.lock())
                        self->revalidate();
                });
        });
    }
    return recent_->apps;
}

void X11Workspace::revalidate() {
    auto snapshot = recentWindows();
    auto windows = listedWindowsByProcess(*snapshot);
    readApplications(std::move(snapshot), std::move(windows));
    std::lock_guard lock(mutex_);
    revalidating_ = false;
}

std::vector<RunningApplication> X11Workspace::readApplications(
    std::shared_ptr<const X11WindowSnapshot> snapshot, std::map<Pid, ProcessWindows> windows) {
    auto entries = s_.entries->current();
    const auto now = std::chrono::steady_clock::now();
    auto apps =
        ApplicationMatcher::match(processes_.processes(), windows, *entries, processes_.lookups());
    remember(apps);
    std::lock_guard lock(mutex_);
    recent_ = Reading{std::move(snapshot), std::move(windows), now, apps};
    return apps;
}

void X11Workspace::forgetRecentReading() {
    std::lock_guard lock(mutex_);
    recent_.reset();
}

std::optional<RunningApplication> X11Workspace::runningApplication(Pid pid) {
    {
        // A process matched before and not ended since is still that application: no reading
        // (activation asks this as the switcher hides).
        std::lock_guard lock(mutex_);
        if (auto it = known_.find(pid); it != known_.end())
            return it->second;
    }
    for (auto& app : runningApplications()) {
        if (app.pid == pid)
            return app;
    }
    return std::nullopt;
}

std::optional<RunningApplication> X11Workspace::frontmostApplication() {
    if (!s_.connection)
        return std::nullopt;
    const auto activation = activations_.load();
    {
        std::lock_guard lock(mutex_);
        if (front_ && front_->activation == activation)
            return front_->app;
    }
    auto front = readFrontmostApplication();
    std::lock_guard lock(mutex_);
    front_ = Front{activation, front};
    return front;
}

std::optional<RunningApplication> X11Workspace::readFrontmostApplication() {
    auto active = s_.windows->read(s_.windows->activeWindow());
    if (!active || active->pid <= 0)
        return std::nullopt;
    // A process with a listed window is matched on its own facts: reading just that one keeps
    // the whole process table off the summon path.
    // The windows as last read: the active one's process rarely changes its windows, and a
    // summon asks this before anything else.
    auto windows = listedWindowsByProcess(*s_.windows->latestSnapshot());
    auto own = windows.find(active->pid);
    auto process = processes_.process(active->pid);
    if (own == windows.end() || !process)
        return runningApplication(active->pid);
    auto apps =
        ApplicationMatcher::match({*process}, {*own}, *s_.entries->current(), processes_.lookups());
    if (apps.empty())
        return std::nullopt;
    remember(apps);
    return apps.front();
}

void X11Workspace::openApplication(const std::string& path, bool activates,
                                   OpenCompletion completion) {
    std::string failure;
    GDesktopAppInfo* info = appInfoFromEntry(path, failure);
    if (info == nullptr) {
        completion(std::nullopt, path + " " + failure);
        return;
    }
    std::string id = s_.entries->idForPath(path);
    // A running instance is brought forward instead of starting a second one.
    for (const auto& app : runningApplications()) {
        if (app.bundleIdentifier == id && !windowsOf(app.pid).empty()) {
            g_object_unref(info);
            if (activates)
                activate(app.pid, ActivationOptions::allWindows);
            completion(app, std::nullopt);
            return;
        }
    }
    Pid launched = 0;
    GError* error = nullptr;
    GAppLaunchContext* context = g_app_launch_context_new();
    gboolean ok = g_desktop_app_info_launch_uris_as_manager(info, nullptr, context,
                                                            G_SPAWN_SEARCH_PATH, nullptr, nullptr,
                                                            rememberLaunchedPid, &launched, &error);
    g_object_unref(context);
    if (!ok) {
        g_object_unref(info);
        completion(std::nullopt, errorText(error));
        return;
    }
    RunningApplication app;
    app.pid = launched;
    app.bundleIdentifier = id;
    const char* name = g_app_info_get_display_name(G_APP_INFO(info));
    if (name != nullptr)
        app.localizedName = name;
    app.bundlePath = path;
    g_object_unref(info);
    forgetRecentReading();
    if (launched > 0)
        remember({app});
    completion(app, std::nullopt);
}

bool X11Workspace::open(const std::string& urlOrPath) {
    std::string uri = urlOrPath;
    if (!urlOrPath.empty() && urlOrPath[0] == '/') {
        gchar* converted = g_filename_to_uri(urlOrPath.c_str(), nullptr, nullptr);
        if (converted == nullptr)
            return false;
        uri = converted;
        g_free(converted);
    }
    GError* error = nullptr;
    if (g_app_info_launch_default_for_uri(uri.c_str(), nullptr, &error))
        return true;
    if (s_.log)
        s_.log->write("[Vantlo] Could not open " + urlOrPath + ": " + errorText(error));
    return false;
}

std::vector<X11Window> X11Workspace::windowsOf(Pid pid, const X11WindowSnapshot& snapshot) {
    std::vector<X11Window> own;
    for (const auto& window : snapshot.windows) {
        if (window.pid == pid && window.isListed())
            own.push_back(window);
    }
    return own;
}

std::vector<X11Window> X11Workspace::windowsOf(Pid pid) {
    if (!s_.connection)
        return {};
    return windowsOf(pid, s_.windows->snapshot());
}

bool X11Workspace::activate(Pid pid, unsigned activationOptions) {
    if (!s_.connection)
        return false;
    // The windows as last read: activation must not wait for a reading of every window, and
    // the window manager refuses a window gone since.
    auto windows = windowsOf(pid, *s_.windows->latestSnapshot());
    if (windows.empty())
        return false;
    if (activationOptions & ActivationOptions::allWindows) {
        // Bottom first, so the most recent window ends on top and focused.
        for (auto it = windows.rbegin(); it + 1 != windows.rend(); ++it) {
            if (!it->hidden)
                s_.actions->activate(it->id);
        }
    }
    auto front =
        std::find_if(windows.begin(), windows.end(), [](const X11Window& w) { return !w.hidden; });
    return s_.actions->activate(front == windows.end() ? windows.front().id : front->id);
}

bool X11Workspace::hide(Pid pid) {
    bool any = false;
    for (const auto& window : windowsOf(pid))
        any = s_.actions->minimise(window.id) || any;
    return any;
}

bool X11Workspace::terminate(Pid pid) {
    auto windows = windowsOf(pid);
    if (windows.empty())
        return s_.processes->sendSignal(pid, Signals::terminate);
    bool any = false;
    for (const auto& window : windows)
        any = s_.actions->close(window.id) || any;
    return any;
}

bool X11Workspace::forceTerminate(Pid pid) {
    return s_.processes->sendSignal(pid, Signals::kill);
}

ImageRef X11Workspace::iconForFile(const std::string& path) {
    if (path.ends_with(".desktop")) {
        auto entry = DesktopEntry::read(path, s_.entries->locales());
        return entry ? ApplicationMatcher::iconFor(entry->icon) : nullptr;
    }
    GFile* file = g_file_new_for_path(path.c_str());
    GFileInfo* info = g_file_query_info(file, G_FILE_ATTRIBUTE_STANDARD_ICON,
                                        G_FILE_QUERY_INFO_NONE, nullptr, nullptr);
    g_object_unref(file);
    if (info == nullptr)
        return nullptr;
    ImageRef image;
    GIcon* icon = g_file_info_get_icon(info);
    if (icon != nullptr && G_IS_THEMED_ICON(icon)) {
        const gchar* const* names = g_themed_icon_get_names(G_THEMED_ICON(icon));
        if (names != nullptr && names[0] != nullptr)
            image = ApplicationMatcher::iconFor(names[0]);
    }
    g_object_unref(info);
    return image;
}

}  // namespace vantlo
