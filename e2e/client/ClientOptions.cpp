#include "ClientOptions.h"

#include <charconv>
#include <string_view>
#include <type_traits>

namespace {

template <typename Number>
bool parseNumber(std::string_view text, Number& value) {
    int base = 10;
    if (text.starts_with("0x") || text.starts_with("0X")) {
        text.remove_prefix(2);
        base = 16;
    }
    const char* end = text.data() + text.size();
    std::from_chars_result result{};
    if constexpr (std::is_floating_point_v<Number>) {
        result = std::from_chars(text.data(), end, value);
    } else {
        result = std::from_chars(text.data(), end, value, base);
    }
    return !text.empty() && result.ec == std::errc() && result.ptr == end;
}

class ArgumentReader {
  public:
    ArgumentReader(int argc, char** argv) : argc_(argc), argv_(argv) {}

    bool done() const { return index_ >= argc_; }
    std::string_view next() { return argv_[index_++]; }

    bool value(std::string_view option, std::string& out, std::string& error) {
        if (done()) {
            error = std::string(option) + " needs a value";
            return false;
        }
        out = next();
        return true;
    }

  private:
    int argc_;
    char** argv_;
    int index_ = 1;
};

bool parseNoCloseVia(std::string_view text, ClientOptions::NoCloseVia& via) {
    if (text == "motif") {
        via = ClientOptions::NoCloseVia::Motif;
    } else if (text == "net") {
        via = ClientOptions::NoCloseVia::Net;
    } else if (text == "both") {
        via = ClientOptions::NoCloseVia::Both;
    } else {
        return false;
    }
    return true;
}

bool parseTarget(ArgumentReader& reader, std::string_view option, ClientOptions& options,
                 std::string& error) {
    std::string text;
    if (!reader.value(option, text, error)) {
        return false;
    }
    if (!parseNumber(text, options.targetWindow) || options.targetWindow == 0) {
        error = std::string(option) + ": not a window id: " + text;
        return false;
    }
    return true;
}

bool parseOne(std::string_view arg, ArgumentReader& reader, ClientOptions& options,
              std::string& error) {
    std::string text;
    if (arg == "--title") {
        return reader.value(arg, options.title, error);
    }
    if (arg == "--count") {
        if (!reader.value(arg, text, error)) {
            return false;
        }
        if (!parseNumber(text, options.count) || options.count < 1 || options.count > 1000) {
            error = "--count wants a number from 1 to 1000, got " + text;
            return false;
        }
        return true;
    }
    if (arg == "--dialog" || arg == "--no-close" || arg == "--ignore-close" ||
        arg == "--skip-taskbar" || arg == "--zero-timestamp") {
        bool& flag = arg == "--dialog"         ? options.dialog
                     : arg == "--no-close"     ? options.noClose
                     : arg == "--ignore-close" ? options.ignoreClose
                     : arg == "--skip-taskbar" ? options.skipTaskbar
                                               : options.zeroTimestamp;
        flag = true;
        return true;
    }
    if (arg == "--no-close-via") {
        options.noClose = true;
        if (!reader.value(arg, text, error)) {
            return false;
        }
        if (!parseNoCloseVia(text, options.noCloseVia)) {
            error = "--no-close-via wants motif, net or both, got " + text;
            return false;
        }
        return true;
    }
    if (arg == "--retitle-after") {
        double seconds = 0;
        if (!reader.value(arg, text, error)) {
            return false;
        }
        if (!parseNumber(text, seconds) || seconds < 0) {
            error = "--retitle-after wants seconds, got " + text;
            return false;
        }
        options.retitleAfterSeconds = seconds;
        return reader.value(arg, options.newTitle, error);
    }
    if (arg == "--send-close" || arg == "--send-activate") {
        options.mode = arg == "--send-close" ? ClientOptions::Mode::SendClose
                                             : ClientOptions::Mode::SendActivate;
        return parseTarget(reader, arg, options, error);
    }
    error = "unknown option " + std::string(arg);
    return false;
}

}  // namespace

std::optional<ClientOptions> parseClientOptions(int argc, char** argv, std::string& error) {
    ClientOptions options;
    ArgumentReader reader(argc, argv);
    while (!reader.done()) {
        std::string_view arg = reader.next();
        if (!parseOne(arg, reader, options, error)) {
            return std::nullopt;
        }
    }
    return options;
}

const char* clientUsage() {
    return "usage: vantlo-test-client [--title T] [--count N] [--dialog] [--no-close]\n"
           "                          [--no-close-via motif|net|both] [--ignore-close]\n"
           "                          [--retitle-after SECONDS NEWTITLE] [--skip-taskbar]\n"
           "       vantlo-test-client --send-close WINDOW [--zero-timestamp]\n"
           "       vantlo-test-client --send-activate WINDOW [--zero-timestamp]\n"
           "Prints \"ready <window id>\" per window once it is mapped.\n";
}
