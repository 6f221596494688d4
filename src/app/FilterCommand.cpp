#include "app/FilterCommand.h"

#include <fcntl.h>
#include <sys/uio.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <memory>
#include <optional>
#include <string_view>

#include "app/FilterInput.h"
#include "app/LineRanker.h"

namespace vantlo {
namespace {

struct Options {
    std::string query;
    bool printScore = false;
};

std::optional<Options> parse(const std::vector<std::string>& arguments, std::ostream& err) {
    Options options;
    bool haveQuery = false;
    bool onlyOperands = false;
    for (const std::string& argument : arguments) {
        if (!onlyOperands && argument == "--") {
            onlyOperands = true;
        } else if (!onlyOperands && argument == "--print-score") {
            options.printScore = true;
        } else if (!onlyOperands && argument.size() > 1 && argument.front() == '-') {
            err << "vantlo filter: unknown option '" << argument << "'\n";
            return std::nullopt;
        } else if (!haveQuery) {
            options.query = argument;
            haveQuery = true;
        } else {
            err << "vantlo filter: more than one query ('" << options.query << "', '" << argument
                << "')\n";
            return std::nullopt;
        }
    }
    if (!haveQuery) {
        err << "vantlo filter: missing QUERY\n";
        return std::nullopt;
    }
    return options;
}

std::string errorText(int error) {
    return std::strerror(error);
}

// Hands the chosen lines on. To the process's standard output they go straight from the input
// buffer in gathered writes, without copying; to any other stream, one by one.
class Output {
  public:
    explicit Output(std::ostream& out) : out_(out), direct_(&out == &std::cout) {
        if (direct_)
            std::cout.flush();
    }
    ~Output() { flush(); }
    Output(const Output&) = delete;
    Output& operator=(const Output&) = delete;

    // `text` stays valid until the output is flushed; `newline` is false only for a last line
    // that had none, which gets one.
    void line(std::string_view text, bool hasNewline, std::optional<int> score) {
        if (error_)
            return;
        if (!direct_) {
            if (score)
                out_ << *score << '\t';
            out_.write(text.data(), static_cast<std::streamsize>(text.size()));
            out_.put('\n');
            return;
        }
        if (pieces_.size() + 3 > kPiecesPerWrite)
            flush();
        if (score) {
            char* digits = scores_[scoreCount_++].data();
            char* end = std::to_chars(digits, digits + kScoreWidth - 1, *score).ptr;
            *end++ = '\t';
            pieces_.push_back({digits, static_cast<std::size_t>(end - digits)});
        }
        pieces_.push_back({const_cast<char*>(text.data()), text.size() + (hasNewline ? 1 : 0)});
        if (!hasNewline)
            pieces_.push_back({const_cast<char*>("\n"), 1});
    }

    // Why the output could not be written; nothing when it was (or when the reader left).
    const std::optional<std::string>& error() {
        flush();
        if (!direct_ && !error_ && !out_.flush())
            error_ = "output: write error";
        return error_;
    }

    void flush() {
        if (!direct_ || pieces_.empty())
            return;
        writeAll();
        pieces_.clear();
        scoreCount_ = 0;
    }

  private:
    static constexpr std::size_t kPiecesPerWrite = 1024;
    static constexpr std::size_t kScoreWidth = 16;

    void writeAll() {
        iovec* piece = pieces_.data();
        std::size_t left = pieces_.size();
        while (left > 0) {
            ssize_t put = ::writev(STDOUT_FILENO, piece, static_cast<int>(left));
            if (put < 0 && errno == EINTR)
                continue;
            if (put < 0 && errno != EPIPE)
                error_ = "standard output: " + errorText(errno);
            if (put <= 0)
                return;  // a closed reader wants nothing more
            auto done = static_cast<std::size_t>(put);
            while (left > 0 && done >= piece->iov_len) {
                done -= piece->iov_len;
                ++piece;
                --left;
            }
            if (left > 0) {
                piece->iov_base = static_cast<char*>(piece->iov_base) + done;
                piece->iov_len -= done;
            }
        }
    }

    std::ostream& out_;
    bool direct_;
    std::vector<iovec> pieces_;
    std::array<std::array<char, kScoreWidth>, kPiecesPerWrite> scores_{};
    std::size_t scoreCount_ = 0;
    std::optional<std::string> error_;
};

// Splits the input into lines; a final line without a newline counts, an empty input has none.
template <class Visit>
void forEachLine(std::string_view text, Visit&& visit) {
    std::size_t start = 0;
    while (start < text.size()) {
        const void* newline = std::memchr(text.data() + start, '\n', text.size() - start);
        std::size_t end =
            newline ? static_cast<std::size_t>(static_cast<const char*>(newline) - text.data())
                    : text.size();
        visit(start, end - start, newline != nullptr);
        start = end + 1;
    }
}

// Ranks and prints; nothing is printed when the input turned out damaged (the caller reports it).
int filter(const Options& options, const FilterInput& input, Output& output) {
    std::string_view text = input.text();
    auto hasNewline = [&](std::size_t offset, std::size_t length) {
        return offset + length < text.size();
    };
    if (options.query.empty()) {
        // Nothing to look for: every line, as it came.
        bool any = false;
        forEachLine(text, [&](std::size_t offset, std::size_t length, bool) {
            output.line(text.substr(offset, length), hasNewline(offset, length),
                        options.printScore ? std::optional<int>(0) : std::nullopt);
            any = true;
        });
        return any ? 0 : 1;
    }
    LineRanker::Ranking ranked = LineRanker::rank(options.query, text);
    if (input.error())
        return 2;
    for (const LineRanker::Line& line : ranked) {
        std::string_view bytes = LineRanker::textOf(text, line);
        output.line(bytes, hasNewline(line.offset, bytes.size()),
                    options.printScore ? std::optional<int>(line.score) : std::nullopt);
    }
    return ranked.empty() ? 1 : 0;
}

}  // namespace

std::string FilterCommand::usageText() {
    return "Usage: vantlo filter QUERY [--print-score]\n"
           "Print the lines of standard input that fuzzy-match QUERY, best first.\n";
}

int FilterCommand::run(const std::vector<std::string>& arguments, std::istream& in,
                       std::ostream& out, std::ostream& err) {
    auto options = parse(arguments, err);
    if (!options) {
        err << usageText();
        return 2;
    }
    FilterInput input(in);
    if (auto error = input.error()) {
        err << "vantlo filter: cannot read " << *error << "\n";
        return 2;
    }
    Output output(out);
    int status = filter(*options, input, output);
    // A file that shrank while it was read gave pages of zeros instead of its lines.
    if (auto error = input.error()) {
        err << "vantlo filter: cannot read " << *error << "\n";
        return 2;
    }
    if (const auto& error = output.error()) {
        err << "vantlo filter: cannot write " << *error << "\n";
        return 2;
    }
    return status;
}

}  // namespace vantlo
