#include "app/FilterCommand.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <iostream>
#include <optional>
#include <string_view>

#include "core/ClusterTable.h"
#include "core/FuzzyMatcher.h"
#include "core/MatchIndex.h"

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
        view_ = buffer_;
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
        void* mapped = mmap(nullptr, size, PROT_READ, MAP_PRIVATE, STDIN_FILENO, 0);
        if (mapped == MAP_FAILED)
            return false;
        madvise(mapped, size, MADV_SEQUENTIAL | MADV_WILLNEED);
        mapped_ = mapped;
        view_ = std::string_view(static_cast<const char*>(mapped), size);
        return true;
    }

    void readDescriptor(int fd) {
        std::size_t used = 0;
        for (;;) {
            if (buffer_.size() - used < kReadBlock)
                buffer_.resize(std::max(buffer_.size() * 2, used + kReadBlock));
            ssize_t got = ::read(fd, buffer_.data() + used, buffer_.size() - used);
            if (got < 0 && errno == EINTR)
                continue;
            if (got <= 0)
                break;
            used += static_cast<std::size_t>(got);
        }
        buffer_.resize(used);
    }

    void readStream(std::istream& in) {
        std::size_t used = 0;
        while (in) {
            buffer_.resize(used + kReadBlock);
            in.read(buffer_.data() + used, static_cast<std::streamsize>(kReadBlock));
            used += static_cast<std::size_t>(in.gcount());
        }
        buffer_.resize(used);
    }

    std::string buffer_;
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

struct Line {
    std::size_t offset;
    std::size_t length;
    bool hasNewline;
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

// Scores lines against one query, reusing its buffers from line to line.
class LineScorer {
  public:
    explicit LineScorer(std::string_view query) : query_(PreparedQuery::prepare(query, table_)) {
        for (std::uint32_t id : query_.ids)
            quickTestProvesMisses_ = quickTestProvesMisses_ && !ClusterTable::hasNonAsciiSource(id);
    }

    int score(std::string_view line) {
        // A line ending "\r\n" is matched without its carriage return.
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(line.data());
        if (query_.isAscii) {
            // Most lines are plain ASCII and most do not match: settle those on the raw bytes.
            int quick = FuzzyMatcher::scoreAsciiFolding(query_, bytes, line.size());
            if (quick == FuzzyMatcher::kNoMatch && quickTestProvesMisses_)
                return quick;
            if (ClusterTable::isPlainAscii(line))
                return quick;
        } else if (ClusterTable::isPlainAscii(line)) {
            return FuzzyMatcher::kNoMatch;
        }
        characters_.clear();
        table_.append(line, characters_);
        return FuzzyMatcher::score(query_, characters_.data(), characters_.size());
    }

  private:
    ClusterTable table_;
    PreparedQuery query_;
    bool quickTestProvesMisses_ = true;
    std::vector<std::uint32_t> characters_;
};

int filter(const Options& options, std::string_view text, Output& output) {
    if (options.query.empty()) {
        // Nothing to look for: every line, as it came.
        bool any = false;
        forEachLine(text, [&](std::size_t offset, std::size_t length, bool hasNewline) {
            output.line(text.substr(offset, length), hasNewline,
                        options.printScore ? std::optional<int>(0) : std::nullopt);
            any = true;
        });
        return any ? 0 : 1;
    }
    LineScorer scorer(options.query);
    std::vector<Line> lines;
    std::vector<MatchIndex::Ranked> matches;
    forEachLine(text, [&](std::size_t offset, std::size_t length, bool hasNewline) {
        int score = scorer.score(text.substr(offset, length));
        if (score == FuzzyMatcher::kNoMatch)
            return;
        matches.push_back({static_cast<std::uint32_t>(lines.size()), score});
        lines.push_back({offset, length, hasNewline});
    });
    std::vector<std::uint32_t> counts;
    sortRanked(matches, counts);
    for (const MatchIndex::Ranked& match : matches) {
        const Line& line = lines[match.entry];
        output.line(text.substr(line.offset, line.length), line.hasNewline,
                    options.printScore ? std::optional<int>(match.score) : std::nullopt);
    }
    return matches.empty() ? 1 : 0;
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
