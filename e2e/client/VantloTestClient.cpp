// A small X client the end-to-end tests start and end: it titles its windows, can show a modal
// dialog, take away its close action, refuse polite close requests, and send the window manager
// the requests a switcher sends, so tests can compare managers without other tools.
#include <poll.h>
#include <unistd.h>
#include <xcb/xcb.h>
#include <xcb/xcb_ewmh.h>
#include <xcb/xcb_icccm.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ClientOptions.h"

namespace {

constexpr char kWmClass[] = "vantlo-test-client\0VantloTestClient";
constexpr uint16_t kWidth = 320;
constexpr uint16_t kHeight = 200;
constexpr int kMaxReassertions = 50;

// Motif hints: flags, functions, decorations, input mode, status. Functions are listed
// explicitly (no MWM_FUNC_ALL inversion), which every manager reads the same way.
constexpr uint32_t kMwmHintsFunctions = 1;
constexpr uint32_t kMwmFunctionsWithoutClose = 2 | 4 | 8 | 16;  // resize move minimise maximise

using Clock = std::chrono::steady_clock;

struct TestWindow {
    xcb_window_t id = XCB_NONE;
    bool isDialog = false;
    bool announced = false;
    int reassertions = 0;
    uint32_t colour = 0;
};

void say(const char* what, xcb_window_t window) {
    std::printf("%s %u\n", what, window);
    std::fflush(stdout);
}

template <typename Reply>
using ReplyPtr = std::unique_ptr<Reply, decltype(&std::free)>;

template <typename Reply>
ReplyPtr<Reply> own(Reply* reply) {
    return ReplyPtr<Reply>(reply, &std::free);
}

class VantloTestClient {
  public:
    explicit VantloTestClient(ClientOptions options) : options_(std::move(options)) {}

    ~VantloTestClient() {
        if (ewmhReady_) {
            xcb_ewmh_connection_wipe(&ewmh_);
        }
        if (connection_ != nullptr) {
            xcb_disconnect(connection_);
        }
    }

    bool connect() {
        connection_ = xcb_connect(nullptr, &screenNumber_);
        if (xcb_connection_has_error(connection_) != 0) {
            std::fprintf(stderr, "vantlo-test-client: cannot open the X display\n");
            return false;
        }
        xcb_intern_atom_cookie_t* cookies = xcb_ewmh_init_atoms(connection_, &ewmh_);
        if (xcb_ewmh_init_atoms_replies(&ewmh_, cookies, nullptr) == 0) {
            std::fprintf(stderr, "vantlo-test-client: cannot intern the EWMH atoms\n");
            return false;
        }
        ewmhReady_ = true;
        screen_ = ewmh_.screens[screenNumber_];
        wmDeleteWindow_ = internAtom("WM_DELETE_WINDOW");
        motifHints_ = internAtom("_MOTIF_WM_HINTS");
        return true;
    }

    int run() {
        switch (options_.mode) {
            case ClientOptions::Mode::SendClose:
                xcb_ewmh_request_close_window(&ewmh_, screenNumber_, options_.targetWindow,
                                              requestTimestamp(),
                                              XCB_EWMH_CLIENT_SOURCE_TYPE_OTHER);
                return flushAndExit();
            case ClientOptions::Mode::SendActivate:
                xcb_ewmh_request_change_active_window(&ewmh_, screenNumber_, options_.targetWindow,
                                                      XCB_EWMH_CLIENT_SOURCE_TYPE_OTHER,
                                                      requestTimestamp(), XCB_NONE);
                return flushAndExit();
            case ClientOptions::Mode::ShowWindows:
                break;
        }
        createWindows();
        xcb_flush(connection_);
        return eventLoop();
    }

  private:
    xcb_atom_t internAtom(const char* name) {
        auto reply = own(xcb_intern_atom_reply(
            connection_, xcb_intern_atom(connection_, 0, std::strlen(name), name), nullptr));
        return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    }

    int flushAndExit() {
        // A round trip makes sure the server has the request before this client goes away.
        auto reply =
            own(xcb_get_input_focus_reply(connection_, xcb_get_input_focus(connection_), nullptr));
        return reply ? 0 : 1;
    }

    // The server time of now, read from the PropertyNotify of a property change (ICCCM's way
    // for a client without user input to get a timestamp).
    xcb_timestamp_t requestTimestamp() {
        if (options_.zeroTimestamp) {
            return XCB_CURRENT_TIME;
        }
        xcb_window_t probe = xcb_generate_id(connection_);
        uint32_t events = XCB_EVENT_MASK_PROPERTY_CHANGE;
        xcb_create_window(connection_, XCB_COPY_FROM_PARENT, probe, screen_->root, 0, 0, 1, 1, 0,
                          XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK,
                          &events);
        xcb_change_property(connection_, XCB_PROP_MODE_APPEND, probe, XCB_ATOM_WM_NAME,
                            XCB_ATOM_STRING, 8, 0, nullptr);
        xcb_flush(connection_);
        xcb_timestamp_t time = XCB_CURRENT_TIME;
        while (xcb_generic_event_t* event = xcb_wait_for_event(connection_)) {
            bool found = (event->response_type & 0x7f) == XCB_PROPERTY_NOTIFY;
            if (found) {
                time = reinterpret_cast<xcb_property_notify_event_t*>(event)->time;
            }
            std::free(event);
            if (found) {
                break;
            }
        }
        xcb_destroy_window(connection_, probe);
        return time;
    }

    std::string titleOf(const std::string& base, size_t index) const {
        if (options_.count == 1) {
            return base;
        }
        return base + " " + std::to_string(index + 1);
    }

    void createWindows() {
        for (int i = 0; i < options_.count; ++i) {
            windows_.push_back(createWindow(titleOf(options_.title, i), false));
        }
        if (options_.dialog) {
            TestWindow dialog = createWindow(options_.title + " dialog", true);
            xcb_icccm_set_wm_transient_for(connection_, dialog.id, windows_.front().id);
            windows_.push_back(dialog);
        }
        for (const TestWindow& window : windows_) {
            xcb_map_window(connection_, window.id);
        }
    }

    TestWindow createWindow(const std::string& title, bool isDialog) {
        static constexpr uint32_t kColours[] = {0x3a6ea5, 0xa53a3a, 0x3aa55c, 0xa5863a, 0x7a3aa5};
        TestWindow window;
        window.id = xcb_generate_id(connection_);
        window.isDialog = isDialog;
        window.colour = kColours[windows_.size() % std::size(kColours)];
        uint32_t values[] = {window.colour, XCB_EVENT_MASK_EXPOSURE |
                                                XCB_EVENT_MASK_STRUCTURE_NOTIFY |
                                                XCB_EVENT_MASK_PROPERTY_CHANGE};
        uint16_t width = isDialog ? kWidth / 2 : kWidth;
        uint16_t height = isDialog ? kHeight / 2 : kHeight;
        xcb_create_window(connection_, XCB_COPY_FROM_PARENT, window.id, screen_->root, 0, 0, width,
                          height, 0, XCB_WINDOW_CLASS_INPUT_OUTPUT, screen_->root_visual,
                          XCB_CW_BACK_PIXEL | XCB_CW_EVENT_MASK, values);
        setTitle(window.id, title);
        setIdentity(window.id);
        setProtocols(window.id);
        setTypeAndState(window.id, isDialog);
        if (options_.noClose) {
            takeAwayClose(window.id);
        }
        return window;
    }

    void setTitle(xcb_window_t window, const std::string& title) {
        xcb_ewmh_set_wm_name(&ewmh_, window, title.size(), title.c_str());
        xcb_icccm_set_wm_name(connection_, window, XCB_ATOM_STRING, 8, title.size(), title.c_str());
    }

    void setIdentity(xcb_window_t window) {
        xcb_icccm_set_wm_class(connection_, window, sizeof(kWmClass), kWmClass);
        xcb_ewmh_set_wm_pid(&ewmh_, window, static_cast<uint32_t>(getpid()));
        char host[256] = {};
        if (gethostname(host, sizeof(host) - 1) == 0) {
            xcb_icccm_set_wm_client_machine(connection_, window, XCB_ATOM_STRING, 8,
                                            std::strlen(host), host);
        }
        xcb_icccm_wm_hints_t hints{};
        xcb_icccm_wm_hints_set_input(&hints, 1);
        xcb_icccm_wm_hints_set_normal(&hints);
        xcb_icccm_set_wm_hints(connection_, window, &hints);
    }

    void setProtocols(xcb_window_t window) {
        xcb_atom_t protocols[] = {wmDeleteWindow_, ewmh_._NET_WM_PING};
        xcb_icccm_set_wm_protocols(connection_, window, ewmh_.WM_PROTOCOLS, std::size(protocols),
                                   protocols);
    }

    void setTypeAndState(xcb_window_t window, bool isDialog) {
        xcb_atom_t type =
            isDialog ? ewmh_._NET_WM_WINDOW_TYPE_DIALOG : ewmh_._NET_WM_WINDOW_TYPE_NORMAL;
        xcb_ewmh_set_wm_window_type(&ewmh_, window, 1, &type);
        std::vector<xcb_atom_t> state;
        if (isDialog) {
            state.push_back(ewmh_._NET_WM_STATE_MODAL);
        }
        if (options_.skipTaskbar) {
            state.push_back(ewmh_._NET_WM_STATE_SKIP_TASKBAR);
        }
        if (!state.empty()) {
            xcb_ewmh_set_wm_state(&ewmh_, window, state.size(), state.data());
        }
    }

    void takeAwayClose(xcb_window_t window) {
        using Via = ClientOptions::NoCloseVia;
        if (options_.noCloseVia != Via::Net) {
            uint32_t hints[5] = {kMwmHintsFunctions, kMwmFunctionsWithoutClose, 0, 0, 0};
            xcb_change_property(connection_, XCB_PROP_MODE_REPLACE, window, motifHints_,
                                motifHints_, 32, std::size(hints), hints);
        }
        if (options_.noCloseVia != Via::Motif) {
            xcb_atom_t actions[] = {
                ewmh_._NET_WM_ACTION_MOVE,          ewmh_._NET_WM_ACTION_RESIZE,
                ewmh_._NET_WM_ACTION_MINIMIZE,      ewmh_._NET_WM_ACTION_MAXIMIZE_HORZ,
                ewmh_._NET_WM_ACTION_MAXIMIZE_VERT, ewmh_._NET_WM_ACTION_CHANGE_DESKTOP};
            xcb_ewmh_set_wm_allowed_actions(&ewmh_, window, std::size(actions), actions);
        }
    }

    // Managers own _NET_WM_ALLOWED_ACTIONS and rewrite it on every state change; a window that
    // must not be closable writes the manager's list back without the close action.
    void reassertNoClose(TestWindow& window) {
        if (!options_.noClose || options_.noCloseVia == ClientOptions::NoCloseVia::Motif) {
            return;
        }
        xcb_ewmh_get_atoms_reply_t actions{};
        if (xcb_ewmh_get_wm_allowed_actions_reply(
                &ewmh_, xcb_ewmh_get_wm_allowed_actions(&ewmh_, window.id), &actions, nullptr) ==
            0) {
            return;
        }
        std::vector<xcb_atom_t> kept;
        for (uint32_t i = 0; i < actions.atoms_len; ++i) {
            if (actions.atoms[i] != ewmh_._NET_WM_ACTION_CLOSE) {
                kept.push_back(actions.atoms[i]);
            }
        }
        bool hadClose = kept.size() != actions.atoms_len;
        xcb_ewmh_get_atoms_reply_wipe(&actions);
        if (!hadClose) {
            return;
        }
        if (++window.reassertions > kMaxReassertions) {
            std::fprintf(stderr, "vantlo-test-client: manager keeps restoring the close action\n");
            return;
        }
        xcb_ewmh_set_wm_allowed_actions(&ewmh_, window.id, kept.size(), kept.data());
        say("reasserted-no-close", window.id);
    }

    TestWindow* find(xcb_window_t id) {
        auto it = std::find_if(windows_.begin(), windows_.end(),
                               [id](const TestWindow& w) { return w.id == id; });
        return it == windows_.end() ? nullptr : &*it;
    }

    void close(xcb_window_t id) {
        TestWindow* window = find(id);
        if (window == nullptr) {
            return;
        }
        if (options_.ignoreClose) {
            say("close-ignored", id);
            return;
        }
        // A dialog goes with the window it belongs to.
        bool takesDialog = !window->isDialog && options_.dialog && windows_.front().id == id;
        std::vector<xcb_window_t> closing = {id};
        if (takesDialog) {
            closing.push_back(windows_.back().id);
        }
        for (xcb_window_t gone : closing) {
            xcb_destroy_window(connection_, gone);
            say("closed", gone);
            std::erase_if(windows_, [gone](const TestWindow& w) { return w.id == gone; });
        }
    }

    bool hasMainWindow() const {
        return std::any_of(windows_.begin(), windows_.end(),
                           [](const TestWindow& w) { return !w.isDialog; });
    }

    void answerPing(const xcb_client_message_event_t& message) {
        xcb_client_message_event_t reply = message;
        reply.window = screen_->root;
        xcb_send_event(connection_, 0, screen_->root,
                       XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                       reinterpret_cast<const char*>(&reply));
    }

    void onClientMessage(const xcb_client_message_event_t& message) {
        if (message.type != ewmh_.WM_PROTOCOLS || message.format != 32) {
            return;
        }
        xcb_atom_t protocol = message.data.data32[0];
        if (protocol == wmDeleteWindow_) {
            close(message.window);
        } else if (protocol == ewmh_._NET_WM_PING) {
            answerPing(message);
        }
    }

    void onExpose(const xcb_expose_event_t& expose) {
        TestWindow* window = find(expose.window);
        if (window == nullptr || expose.count != 0) {
            return;
        }
        // A lighter band across the top so screenshots show which window is which.
        xcb_gcontext_t gc = xcb_generate_id(connection_);
        uint32_t foreground = window->colour | 0x404040;
        xcb_create_gc(connection_, gc, window->id, XCB_GC_FOREGROUND, &foreground);
        xcb_rectangle_t band = {0, 0, kWidth, 24};
        xcb_poly_fill_rectangle(connection_, window->id, gc, 1, &band);
        xcb_free_gc(connection_, gc);
    }

    void onEvent(xcb_generic_event_t* event) {
        switch (event->response_type & 0x7f) {
            case 0: {
                auto* error = reinterpret_cast<xcb_generic_error_t*>(event);
                std::fprintf(stderr, "vantlo-test-client: X error %u (request %u)\n",
                             error->error_code, error->major_code);
                break;
            }
            case XCB_MAP_NOTIFY: {
                TestWindow* window = find(reinterpret_cast<xcb_map_notify_event_t*>(event)->window);
                if (window != nullptr && !window->announced) {
                    window->announced = true;
                    say("ready", window->id);
                }
                break;
            }
            case XCB_DESTROY_NOTIFY: {
                // Someone destroyed the window under us (xdotool windowclose does).
                xcb_window_t gone = reinterpret_cast<xcb_destroy_notify_event_t*>(event)->window;
                if (find(gone) != nullptr) {
                    say("destroyed", gone);
                    std::erase_if(windows_, [gone](const TestWindow& w) { return w.id == gone; });
                }
                break;
            }
            case XCB_PROPERTY_NOTIFY: {
                auto* notify = reinterpret_cast<xcb_property_notify_event_t*>(event);
                TestWindow* window = find(notify->window);
                if (window != nullptr && notify->atom == ewmh_._NET_WM_ALLOWED_ACTIONS) {
                    reassertNoClose(*window);
                }
                break;
            }
            case XCB_CLIENT_MESSAGE:
                onClientMessage(*reinterpret_cast<xcb_client_message_event_t*>(event));
                break;
            case XCB_EXPOSE:
                onExpose(*reinterpret_cast<xcb_expose_event_t*>(event));
                break;
            default:
                break;
        }
    }

    void retitle() {
        size_t index = 0;
        for (const TestWindow& window : windows_) {
            if (!window.isDialog) {
                setTitle(window.id, titleOf(options_.newTitle, index++));
                say("retitled", window.id);
            }
        }
    }

    int pollTimeoutMs(std::optional<Clock::time_point> due) const {
        if (!due) {
            return -1;
        }
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(*due - Clock::now());
        return static_cast<int>(std::max<long long>(0, left.count()));
    }

    int eventLoop() {
        std::optional<Clock::time_point> retitleDue;
        if (options_.retitleAfterSeconds) {
            retitleDue =
                Clock::now() + std::chrono::duration_cast<Clock::duration>(
                                   std::chrono::duration<double>(*options_.retitleAfterSeconds));
        }
        pollfd descriptor{xcb_get_file_descriptor(connection_), POLLIN, 0};
        while (hasMainWindow()) {
            while (xcb_generic_event_t* event = xcb_poll_for_event(connection_)) {
                onEvent(event);
                std::free(event);
            }
            if (xcb_connection_has_error(connection_) != 0) {
                std::fprintf(stderr, "vantlo-test-client: lost the X connection\n");
                return 1;
            }
            if (retitleDue && Clock::now() >= *retitleDue) {
                retitleDue.reset();
                retitle();
            }
            xcb_flush(connection_);
            if (!hasMainWindow()) {
                break;
            }
            poll(&descriptor, 1, pollTimeoutMs(retitleDue));
        }
        xcb_flush(connection_);
        return 0;
    }

    ClientOptions options_;
    xcb_connection_t* connection_ = nullptr;
    int screenNumber_ = 0;
    xcb_ewmh_connection_t ewmh_{};
    bool ewmhReady_ = false;
    xcb_screen_t* screen_ = nullptr;
    xcb_atom_t wmDeleteWindow_ = XCB_ATOM_NONE;
    xcb_atom_t motifHints_ = XCB_ATOM_NONE;
    std::vector<TestWindow> windows_;
};

}  // namespace

int main(int argc, char** argv) {
    std::string error;
    std::optional<ClientOptions> options = parseClientOptions(argc, argv, error);
    if (!options) {
        std::fprintf(stderr, "vantlo-test-client: %s\n%s", error.c_str(), clientUsage());
        return 2;
    }
    if (options->ignoreClose) {
        std::signal(SIGTERM, SIG_IGN);
    }
    VantloTestClient client(std::move(*options));
    if (!client.connect()) {
        return 1;
    }
    return client.run();
}
