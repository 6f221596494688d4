// Feeds arbitrary bytes to the compound-text decoder, as any X client may set them in a window's
// title. Whatever the bytes: no crash, no read past the end; the result is well-formed UTF-8
// without controls other than tab and newline, at most four bytes for each byte read; text of
// printable ASCII alone comes out unchanged.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/FuzzCheck.h"
#include "platform/linux/CompoundText.h"

namespace {

// The length of the well-formed UTF-8 character at text[i], or 0.
std::size_t utf8Length(std::string_view text, std::size_t i) {
    auto lead = static_cast<unsigned char>(text[i]);
    std::size_t length = lead < 0x80   ? 1
                         : lead < 0xC2 ? 0
                         : lead < 0xE0 ? 2
                         : lead < 0xF0 ? 3
                         : lead < 0xF5 ? 4
                                       : 0;
    if (length == 0 || i + length > text.size())
        return 0;
    char32_t c = length == 1 ? lead : lead & (0x7F >> length);
    for (std::size_t k = 1; k < length; ++k) {
        auto next = static_cast<unsigned char>(text[i + k]);
        if ((next & 0xC0) != 0x80)
            return 0;
        c = (c << 6) | (next & 0x3F);
    }
    bool shortest = length == 1 || (length == 2 && c >= 0x80) || (length == 3 && c >= 0x800) ||
                    (length == 4 && c >= 0x10000);
    bool scalar = c <= 0x10FFFF && (c < 0xD800 || c > 0xDFFF);
    bool control = (c < 0x20 && c != '\t' && c != '\n') || (c >= 0x7F && c < 0xA0);
    return shortest && scalar && !control ? length : 0;
}

bool isPrintableAscii(std::string_view text) {
    for (char c : text) {
        if ((c < 0x20 || c > 0x7E) && c != '\t' && c != '\n')
            return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    std::string text = vantlo::CompoundText::toUtf8(bytes);
    FUZZ_CHECK(text.size() <= 4 * size);
    for (std::size_t i = 0; i < text.size();) {
        std::size_t length = utf8Length(text, i);
        FUZZ_CHECK(length > 0);
        i += length;
    }
    if (isPrintableAscii(bytes))
        FUZZ_CHECK(text == bytes);
    return 0;
}
