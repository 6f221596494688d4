#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>

#include "settings/TranslationTable.h"

namespace vantlo {
namespace {

namespace fs = std::filesystem;

struct LookedUpText {
    std::string text;
    std::string where;
};

void appendUtf8(std::string& out, std::uint32_t code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

int digitValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return 99;
}

std::uint32_t readDigits(const std::string& source, std::size_t& at, int base, int most) {
    std::uint32_t value = 0;
    for (int n = 0; n < most && at < source.size() && digitValue(source[at]) < base; ++n, ++at)
        value = value * static_cast<std::uint32_t>(base) +
                static_cast<std::uint32_t>(digitValue(source[at]));
    return value;
}

// Decodes the C++ string literal whose opening quote is at `source[at]`; leaves `at` after the
// closing quote. Nothing when the literal does not end on its line.
std::optional<std::string> readLiteral(const std::string& source, std::size_t& at) {
    std::string text;
    for (++at; at < source.size();) {
        char c = source[at++];
        if (c == '"')
            return text;
        if (c == '\n')
            return std::nullopt;
        if (c != '\\') {
            text += c;
            continue;
        }
        if (at >= source.size())
            return std::nullopt;
        char escape = source[at++];
        switch (escape) {
            case 'n':
                text += '\n';
                break;
            case 't':
                text += '\t';
                break;
            case 'r':
                text += '\r';
                break;
            case 'a':
                text += '\a';
                break;
            case 'b':
                text += '\b';
                break;
            case 'f':
                text += '\f';
                break;
            case 'v':
                text += '\v';
                break;
            case 'x':
                text += static_cast<char>(readDigits(source, at, 16, 8));
                break;
            case 'u':
                appendUtf8(text, readDigits(source, at, 16, 4));
                break;
            case 'U':
                appendUtf8(text, readDigits(source, at, 16, 8));
                break;
            default:
                if (escape >= '0' && escape <= '7') {
                    --at;
                    text += static_cast<char>(readDigits(source, at, 8, 3));
                } else {
                    text += escape;  // \" \' \\ \?
                }
        }
    }
    return std::nullopt;
}

bool isIdentifierChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
}

std::size_t skipSpace(const std::string& source, std::size_t at) {
    while (at < source.size() && std::isspace(static_cast<unsigned char>(source[at])))
        ++at;
    return at;
}

int lineOf(const std::string& source, std::size_t at) {
    return 1 + static_cast<int>(std::count(source.begin(), source.begin() + at, '\n'));
}

// Every `localized("...")` and `localizedFormat("...", ` in one file. A literal followed by
// another literal (concatenation) is reported as a problem: the tables could not be checked.
void scanText(const std::string& source, const std::string& file, std::vector<LookedUpText>& found,
              std::vector<std::string>& problems) {
    for (std::string name : {"localized", "localizedFormat"}) {
        std::string call = name + "(";
        for (auto at = source.find(call); at != std::string::npos; at = source.find(call, at + 1)) {
            if (at > 0 && (isIdentifierChar(source[at - 1]) || source[at - 1] == '.'))
                continue;
            std::size_t cursor = skipSpace(source, at + call.size());
            if (cursor >= source.size() || source[cursor] != '"')
                continue;  // not a literal: a declaration or a forwarded text
            std::string where = file + ":" + std::to_string(lineOf(source, at));
            auto text = readLiteral(source, cursor);
            cursor = skipSpace(source, cursor);
            char expected = name == "localized" ? ')' : ',';
            if (!text || cursor >= source.size() || source[cursor] != expected) {
                problems.push_back(where + ": " + name +
                                   " must take one plain string literal (no concatenation)");
                continue;
            }
            found.push_back({*text, where});
        }
    }
}

void scanFile(const fs::path& file, std::vector<LookedUpText>& found,
              std::vector<std::string>& problems) {
    std::ifstream in(file, std::ios::binary);
    std::string source{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    scanText(source, file.string(), found, problems);
}

std::vector<LookedUpText> scanSources(std::vector<std::string>& problems) {
    std::vector<LookedUpText> found;
    for (const auto& entry : fs::recursive_directory_iterator(VANTLO_SOURCE_DIR "/src")) {
        auto extension = entry.path().extension();
        if (entry.is_regular_file() && (extension == ".cpp" || extension == ".h"))
            scanFile(entry.path(), found, problems);
    }
    return found;
}

TEST(TranslationCoverage, EveryLookedUpTextIsInBothTables) {
    auto english = TranslationTable::load(VANTLO_SOURCE_DIR "/po/en.po");
    auto chinese = TranslationTable::load(VANTLO_SOURCE_DIR "/po/zh-Hans.po");
    ASSERT_TRUE(english && chinese);
    std::vector<std::string> problems;
    auto texts = scanSources(problems);
    EXPECT_TRUE(std::any_of(texts.begin(), texts.end(), [](const auto& found) {
        return found.text == "Follow System";
    })) << "the scan finds the language picker's text";
    for (const auto& problem : problems)
        ADD_FAILURE() << problem;
    for (const auto& [text, where] : texts) {
        EXPECT_TRUE(english->contains(text)) << where << ": \"" << text << "\" is not in po/en.po";
        EXPECT_TRUE(chinese->find(text))
            << where << ": \"" << text << "\" has no translation in po/zh-Hans.po";
    }
}

TEST(TranslationCoverage, ScannerReadsLiteralsAsTheCompilerDoes) {
    std::vector<LookedUpText> found;
    std::vector<std::string> problems;
    scanText(R"cpp(
                 auto a = localized("Say \"hi\"\n");
                 auto b = localizedFormat("%d open tabs", {n});
                 auto c = localized(variable);  // forwarded, not checked here
                 auto d = nonlocalized("Not a lookup");
                 auto e = localized(
                     "Split "
                     "text");
                 auto f = localizedFormat("Caf\u00e9 %@", {x});
             )cpp",
             "sample.cpp", found, problems);
    std::vector<std::string> texts;
    for (const auto& text : found)
        texts.push_back(text.text);
    EXPECT_EQ(texts, (std::vector<std::string>{"Say \"hi\"\n", "%d open tabs", "Café %@"}));
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_NE(problems[0].find("sample.cpp:6"), std::string::npos) << problems[0];
}

}  // namespace
}  // namespace vantlo
