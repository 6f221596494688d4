#include "app/FilterCommand.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <memory>
#include <optional>
#include <string_view>

#include "app/LineRanker.h"

namespace vantlo {
namespace {

constexpr std::size_t kReadBlock = 1 << 20;

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

// The whole input, either mapped from a regular file or read in large blocks.
class Input {
  public:
    explicit Input(std::istream& in) {
        if (&in == &std::cin && mapStandardInput())
            return;
        if (&in == &std::cin)
            readDescriptor(STDIN_FILENO);
        else
            readStream(in);
    }
    ~Input() {
        if (mapped_ != nullptr)
            munmap(mapped_, view_.size());
    }
    Input(const Input&) = delete;
    Input& operator=(const Input&) = delete;

    std::string_view text() const { return view_; }

  private:
    bool mapStandardInput() {
        struct stat info {};
        if (fstat(STDIN_FILENO, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size <= 0)
            return false;
        off_t offset = lseek(STDIN_FILENO, 0, SEEK_CUR);
        if (offset != 0)
            return false;
        auto size = static_cast<std::size_t>(info.st_size);
        // Pages are mapped as the scoring threads first touch them, side by side, rather than
        // all up front by one thread; the system starts reading any not yet cached.
        void* mapped = mmap(nullptr, size, PROT_READ, MAP_PRIVATE, STDIN_FILENO, 0);
        if (mapped == MAP_FAILED)
            return false;
        madvise(mapped, size, MADV_WILLNEED);
        mapped_ = mapped;
        view_ = std::string_view(static_cast<const char*>(mapped), size);
        return true;
    }

    // Grows the buffer without clearing it: pages are only backed once data lands in them.
    char* room(std::size_t used, std::size_t wanted) {
        if (capacity_ - used < wanted) {
            std::size_t capacity = std::max(capacity_ * 2, used + wanted);
            void* grown = std::realloc(buffer_.get(), capacity);
            if (grown == nullptr)
                return nullptr;
            buffer_.release();
            buffer_.reset(static_cast<char*>(grown));
            capacity_ = capacity;
        }
        return buffer_.get() + used;
    }

    void readDescriptor(int fd) {
        std::size_t used = 0;
        while (char* free = room(used, kReadBlock)) {
            ssize_t got = ::read(fd, free, capacity_ - used);
            if (got < 0 && errno == EINTR)
                continue;
            if (got <= 0)
                break;
            used += static_cast<std::size_t>(got);
        }
        view_ = std::string_view(buffer_.get(), used);
    }

    void readStream(std::istream& in) {
        std::size_t used = 0;
        while (in) {
            char* free = room(used, kReadBlock);
            if (free == nullptr)
                break;
            in.read(free, static_cast<std::streamsize>(capacity_ - used));
            used += static_cast<std::size_t>(in.gcount());
        }
        view_ = std::string_view(buffer_.get(), used);
    }

    struct Free {
        void operator()(char* p) const { std::free(p); }
    };
    std::unique_ptr<char, Free> buffer_;
    std::size_t capacity_ = 0;
    void* mapped_ = nullptr;
    std::string_view view_;
};

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
            if (put <= 0)
                return;  // a closed reader: nothing more to do
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

int filter(const Options& options, std::string_view text, Output& output) {
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
    std::vector<LineRanker::Line> ranked = LineRanker::rank(options.query, text);
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
    Input input(in);
    Output output(out);
    return filter(*options, input.text(), output);
}

}  // namespace vantlo
