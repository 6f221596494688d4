// Feeds arbitrary text to the translation-table reader (gettext .po files, which translators
// edit by hand). Whatever the text: no crash, and every translation found belongs to an entry the
// table knows. Then the input's two halves become an English text and its translation, written as
// a .po file spells them (escapes, continuation lines) after a header: the table must give back
// exactly that translation.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/FuzzCheck.h"
#include "settings/TranslationTable.h"

using namespace vantlo;

namespace {

std::string escaped(std::string_view text) {
    std::string out;
    for (char c : text) {
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                out += c;
        }
    }
    return out;
}

// `text` as a quoted .po string, split over continuation lines every `width` source characters.
std::string quoted(std::string_view text, std::size_t width) {
    std::string out = "\"\"\n";
    for (std::size_t at = 0; at < text.size(); at += width)
        out += "\"" + escaped(text.substr(at, width)) + "\"\n";
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    auto table = TranslationTable::parse(text);
    (void)table.size();

    auto half = text.substr(0, size / 2);
    auto english = std::string(half);
    auto translation = std::string(text.substr(size / 2));
    if (english.empty() || translation.empty())
        return 0;
    FUZZ_CHECK(!table.find(english) || table.contains(english));

    FUZZ_CHECK(!table.find(english) || !table.find(english)->empty());

    std::string file =
        "msgid \"\"\nmsgstr \"\"\n\"Content-Type: text/plain; charset=UTF-8\\n\"\n\n";
    file += "#: src/ui/Panel.cpp:12\nmsgid " + quoted(english, 1 + size % 7);
    file += "msgstr " + quoted(translation, 1 + size % 5);
    auto built = TranslationTable::parse(file);
    FUZZ_CHECK(built.contains(english));
    FUZZ_CHECK(built.find(english) == translation);
    return 0;
}
