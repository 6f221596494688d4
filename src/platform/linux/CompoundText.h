#pragma once
// Reads X Compound Text (the COMPOUND_TEXT property type older clients such as xterm use for
// titles outside Latin-1): an ISO 2022 byte stream that designates ASCII, the ISO 8859 right
// halves, JIS X 0201, GB 2312, JIS X 0208 and KS C 5601 into GL and GR, with extended segments
// for UTF-8 and other named encodings.

#include <string>
#include <string_view>

namespace vantlo::CompoundText {

// The text as UTF-8. Never fails: bytes that are malformed, belong to an unknown or unconvertible
// character set, or are controls other than tab and newline come out as U+FFFD, and decoding
// goes on after them. Direction markers are dropped. Linear in the input's length.
std::string toUtf8(std::string_view bytes);

}  // namespace vantlo::CompoundText
