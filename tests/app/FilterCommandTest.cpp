#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <sstream>

#include "app/CommandLine.h"
#include "app/FilterInput.h"
#include "platform/posix/PosixProcesses.h"
#include "support/TemporaryFolder.h"

namespace vantlo {
namespace {

struct Run {
    int exitCode;
    std::string out;
    std::string err;
};

Run filter(std::vector<std::string> arguments, const std::string& input) {
    arguments.insert(arguments.begin(), "filter");
    std::istringstream in(input);
    std::ostringstream out;
    std::ostringstream err;
    auto outcome = CommandLine(arguments).run(in, out, err);
    EXPECT_TRUE(outcome.handled);
    return {outcome.exitCode, out.str(), err.str()};
}

TEST(FilterCommand, PrintsMatchesBestFirstWithTiesInInputOrder) {
    auto run = filter({"ab"}, "zzz\nxab\nab\nAB\nxAb\nnothing\n");
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, "ab\nAB\nxab\nxAb\n");
    EXPECT_EQ(run.err, "");

    auto scored = filter({"--print-score", "ab"}, "xab\nab\na b\n");
    EXPECT_EQ(scored.out, "49\ta b\n46\tab\n27\txab\n");
}

TEST(FilterCommand, LinesKeepTheirBytesAndEndings) {
    auto run = filter({"ab", "--print-score"}, "ab\r\nxab");
    EXPECT_EQ(run.out, "46\tab\r\n27\txab\n") << "carriage return kept, not matched";

    const std::string bad =
        "a\xFF"
        "b\n\xC3\n\xF0\x9F\x98\n";
    auto invalid = filter({"ab", "--print-score"}, bad);
    EXPECT_EQ(invalid.exitCode, 0);
    EXPECT_EQ(invalid.out,
              "49\ta\xFF"
              "b\n")
        << "a bad byte reads as one replacement character";
    auto replacement = filter({"\xEF\xBF\xBD"}, bad);
    EXPECT_EQ(replacement.out,
              "\xC3\n\xF0\x9F\x98\na\xFF"
              "b\n")
        << "a cut-short sequence is one replacement character";
}

TEST(FilterCommand, UnicodeLinesUseTheFullRules) {
    const std::string lines =
        "Caf\xC3\xA9\ncafe\xCC\x81\ncafe\n\xE2\x84\xAA"
        "elvin\n";
    EXPECT_EQ(filter({"caf\xC3\xA9"}, lines).out, "Caf\xC3\xA9\ncafe\xCC\x81\n");
    EXPECT_EQ(filter({"kelvin"}, lines).out,
              "\xE2\x84\xAA"
              "elvin\n")
        << "the Kelvin sign lowercases to k";
    EXPECT_EQ(filter({"CAFE"}, lines).out, "cafe\n");
}

TEST(FilterCommand, EmptyQueryPrintsEveryLineAndNoMatchExitsOne) {
    EXPECT_EQ(filter({""}, "b\na\n").out, "b\na\n");
    auto none = filter({"q"}, "b\na\n");
    EXPECT_EQ(none.exitCode, 1);
    EXPECT_EQ(none.out, "");
    EXPECT_EQ(filter({"a"}, "").exitCode, 1);
}

TEST(FilterCommand, UsageErrors) {
    auto missing = filter({}, "a\n");
    EXPECT_EQ(missing.exitCode, 2);
    EXPECT_NE(missing.err.find("missing QUERY"), std::string::npos);
    EXPECT_EQ(filter({"a", "b"}, "a\n").exitCode, 2) << "two queries";
    EXPECT_EQ(filter({"--fast", "a"}, "a\n").exitCode, 2) << "unknown option";
    EXPECT_EQ(filter({"--", "-x"}, "a-x\n").out, "a-x\n") << "a query after -- may start with -";
    EXPECT_NE(CommandLine::helpText().find("filter QUERY"), std::string::npos);
}

TEST(FilterCommand, TheProgramMapsAFileOnStandardInputAndWritesTheSameLines) {
    // Through the built program, standard input a file (mapped, not read) and standard output a
    // pipe (written in gathered blocks): the same bytes as through streams.
    std::string input;
    for (int i = 0; i < 30000; ++i) {
        input += i % 7 == 0 ? "Caf\xC3\xA9 \xE2\x80\x94 build " : "kernel log ";
        input += std::to_string(i);
        input += i % 11 == 0 ? "\r\n" : "\n";
    }
    input += "last line build";
    testing::TemporaryFolder folder;
    testing::TemporaryFolder::write(folder.file("input.txt"), input);
    PosixProcesses processes(nullptr);
    for (const std::string query : {"bld", "e 1", "caf\xC3\xA9"}) {
        auto result = processes.run(
            "/bin/sh",
            {"-c", "exec \"$0\" filter \"$1\" --print-score < \"$2\"",
             std::string(VANTLO_BINARY_DIR) + "/src/vantlo", query, folder.file("input.txt")},
            60);
        ASSERT_TRUE(result.has_value()) << "query " << query;
        auto expected = filter({query, "--print-score"}, input);
        EXPECT_EQ(result->exitCode, expected.exitCode) << "query " << query;
        EXPECT_TRUE(result->standardOutput == expected.out) << "query " << query;
    }
}

TEST(FilterCommand, ReadAndWriteErrorsAreSaidAndExitTwo) {
    testing::TemporaryFolder folder;
    testing::TemporaryFolder::write(folder.file("input.txt"), "alpha\nbeta\n");
    PosixProcesses processes(nullptr);
    auto program = std::string(VANTLO_BINARY_DIR) + "/src/vantlo";
    struct Case {
        const char* name;
        const char* shell;  // $0 the program, $1 the input file; standard error to the pipe
        const char* said;
    } cases[] = {
        {"a folder on standard input", "exec \"$0\" filter a < / 2>&1",
         "vantlo filter: cannot read standard input: Is a directory\n"},
        {"a full device on standard output", "exec \"$0\" filter a < \"$1\" 2>&1 >/dev/full",
         "vantlo filter: cannot write standard output: No space left on device\n"},
    };
    for (const Case& c : cases) {
        auto result =
            processes.run("/bin/sh", {"-c", c.shell, program, folder.file("input.txt")}, 60);
        ASSERT_TRUE(result.has_value()) << c.name;
        EXPECT_EQ(result->exitCode, 2) << c.name;
        EXPECT_EQ(result->standardOutput, c.said) << c.name;
    }
}

TEST(FilterInput, AFileThatShrinksWhileMappedReadsAsZerosAndSaysSo) {
    testing::TemporaryFolder folder;
    const std::string path = folder.file("shrinking.txt");
    testing::TemporaryFolder::write(path, std::string(3 * 65536, 'x'));
    int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(descriptor, 0);
    FilterInput input(descriptor);
    ASSERT_EQ(input.text().size(), 3u * 65536);
    EXPECT_FALSE(input.error().has_value());
    ASSERT_EQ(::truncate(path.c_str(), 1000), 0);
    // Past the new end: without the guard this read is a bus error.
    EXPECT_EQ(input.text().back(), '\0');
    EXPECT_EQ(input.text().front(), 'x');
    ASSERT_TRUE(input.error().has_value());
    EXPECT_EQ(*input.error(), "the input: it changed while it was read");
    ::close(descriptor);
}

TEST(FilterCommand, AMillionLines) {
    std::string input;
    input.reserve(12'000'000);
    for (int i = 0; i < 1'000'000; ++i) {
        input += i % 3 == 0 ? "tab " : "window ";
        input += std::to_string(i);
        input += '\n';
    }
    auto run = filter({"tab"}, input);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 333'334);
    EXPECT_EQ(run.out.substr(0, 6), "tab 0\n") << "shortest first among equals: fewer left over";
}

}  // namespace
}  // namespace vantlo
