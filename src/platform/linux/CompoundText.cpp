#include "platform/linux/CompoundText.h"

#include <unicode/ucnv.h>
#include <unicode/unistr.h>

#include <cstddef>
#include <map>
#include <memory>

namespace vantlo::CompoundText {
namespace {

constexpr unsigned char kEsc = 0x1B;
constexpr unsigned char kCsi = 0x9B;
constexpr char32_t kReplacement = 0xFFFD;

// How the bytes of a designated character set become characters.
enum class Kind {
    Ascii,       // ISO 646 IRV
    JisRoman,    // JIS X 0201 left half: ASCII with yen and overline
    JisKana,     // JIS X 0201 right half: half-width katakana
    SingleByte,  // an ISO 8859 right half, converted with the bytes' high bit set
    DoubleByte,  // a 94x94 set, converted as its EUC form (both bytes' high bit set)
    Unknown,     // designated but not readable: each character is U+FFFD
};

struct Charset {
    Kind kind = Kind::Ascii;
    int width = 1;  // bytes per character
    const char* converter = nullptr;
};

struct Designation {
    unsigned char final;
    const char* converter;
};

// The ISO 8859 parts by the final byte of their registered 96-character designation.
constexpr Designation kLatinSets[] = {
    {'A', "ISO-8859-1"},  {'B', "ISO-8859-2"},  {'C', "ISO-8859-3"},  {'D', "ISO-8859-4"},
    {'F', "ISO-8859-7"},  {'G', "ISO-8859-6"},  {'H', "ISO-8859-8"},  {'L', "ISO-8859-5"},
    {'M', "ISO-8859-9"},  {'T', "ISO-8859-11"}, {'V', "ISO-8859-10"}, {'Y', "ISO-8859-13"},
    {'_', "ISO-8859-14"}, {'b', "ISO-8859-15"}, {'f', "ISO-8859-16"},
};

// GB 2312, JIS X 0208 and KS C 5601, read through their EUC forms.
constexpr Designation kDoubleByteSets[] = {{'A', "EUC-CN"}, {'B', "EUC-JP"}, {'C', "EUC-KR"}};

template <std::size_t N>
const char* converterFor(const Designation (&sets)[N], unsigned char final) {
    for (const Designation& set : sets) {
        if (set.final == final)
            return set.converter;
    }
    return nullptr;
}

Charset set94(unsigned char final) {
    switch (final) {
        case 'B':
            return {Kind::Ascii, 1, nullptr};
        case 'J':
            return {Kind::JisRoman, 1, nullptr};
        case 'I':
            return {Kind::JisKana, 1, nullptr};
        default:
            return {Kind::Unknown, 1, nullptr};
    }
}

Charset set96(unsigned char final) {
    const char* name = converterFor(kLatinSets, final);
    return {name ? Kind::SingleByte : Kind::Unknown, 1, name};
}

Charset set94x94(unsigned char final) {
    const char* name = converterFor(kDoubleByteSets, final);
    return {name ? Kind::DoubleByte : Kind::Unknown, 2, name};
}

struct ConverterClose {
    void operator()(UConverter* converter) const { ucnv_close(converter); }
};

// Extended-segment names come from the client: only plain converter names reach ICU, which
// would otherwise read option suffixes and package paths out of them.
bool isPlainName(std::string_view name) {
    if (name.empty() || name.size() > 40)
        return false;
    for (char c : name) {
        bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                     c == '-' || c == '_' || c == '.';
        if (!plain)
            return false;
    }
    return true;
}

class Decoder {
  public:
    std::string decode(std::string_view bytes);

  private:
    void decodeGraphic(std::string_view bytes, std::size_t& i);
    void decodeEscape(std::string_view bytes, std::size_t& i);
    void decodeControlSequence(std::string_view bytes, std::size_t& i);
    void decodeUtf8Segment(std::string_view bytes, std::size_t& i);
    void decodeNamedSegment(std::string_view bytes, std::size_t& i);
    void designate(std::string_view intermediates, unsigned char final);

    void add(const Charset& set, unsigned char byte);
    void flush();
    void convert(const char* converter, std::string_view bytes);
    void append(char32_t c);
    UConverter* open(const std::string& name);

    Charset gl_{Kind::Ascii, 1, nullptr};
    Charset gr_{Kind::SingleByte, 1, "ISO-8859-1"};
    // Consecutive bytes of one converted set, converted together.
    std::string run_;
    const char* runConverter_ = nullptr;
    int runWidth_ = 1;
    bool badPair_ = false;
    std::string out_;
    std::map<std::string, std::unique_ptr<UConverter, ConverterClose>, std::less<>> converters_;
};

std::string Decoder::decode(std::string_view bytes) {
    out_.reserve(bytes.size());
    std::size_t i = 0;
    while (i < bytes.size()) {
        auto byte = static_cast<unsigned char>(bytes[i]);
        if (byte == kEsc) {
            flush();
            decodeEscape(bytes, i);
        } else if (byte == kCsi) {
            flush();
            decodeControlSequence(bytes, i);
        } else {
            decodeGraphic(bytes, i);
        }
    }
    flush();
    return std::move(out_);
}

void Decoder::decodeGraphic(std::string_view bytes, std::size_t& i) {
    auto byte = static_cast<unsigned char>(bytes[i++]);
    if (byte == ' ' || byte == '\t' || byte == '\n') {
        flush();
        append(byte);
    } else if (byte > 0x20 && byte < 0x7F) {
        add(gl_, byte);
    } else if (byte >= 0xA0) {
        add(gr_, byte);
    } else {
        flush();
        append(kReplacement);
    }
}

// One graphic byte in the set that GL or GR holds.
void Decoder::add(const Charset& set, unsigned char byte) {
    auto low = static_cast<unsigned char>(byte & 0x7F);
    bool inSet = set.kind == Kind::SingleByte ? byte >= 0xA0 : (low > 0x20 && low < 0x7F);
    if (set.kind == Kind::SingleByte || set.kind == Kind::DoubleByte) {
        if (runConverter_ != set.converter)
            flush();
        runConverter_ = set.converter;
        runWidth_ = set.width;
        run_ += static_cast<char>(byte | 0x80);
        // A pair with a byte outside the set is one U+FFFD; the pairs after it stay aligned.
        badPair_ = badPair_ || !inSet;
        if (badPair_ && run_.size() % 2 == 0) {
            run_.resize(run_.size() - 2);
            flush();
            append(kReplacement);
        }
        return;
    }
    flush();
    if (!inSet) {
        append(kReplacement);
    } else if (set.kind == Kind::Ascii) {
        append(low);
    } else if (set.kind == Kind::JisRoman) {
        append(low == 0x5C ? U'\u00A5' : low == 0x7E ? U'\u203E' : char32_t(low));
    } else if (set.kind == Kind::JisKana) {
        append(low <= 0x5F ? char32_t(0xFF61 + (low - 0x21)) : kReplacement);
    } else {
        append(kReplacement);
    }
}

void Decoder::flush() {
    badPair_ = false;
    if (run_.empty())
        return;
    std::string_view run(run_);
    std::size_t whole = run.size() - run.size() % static_cast<std::size_t>(runWidth_);
    convert(runConverter_, run.substr(0, whole));
    if (whole < run.size())
        append(kReplacement);
    run_.clear();
}

void Decoder::convert(const char* name, std::string_view bytes) {
    UConverter* converter = name ? open(name) : nullptr;
    if (!converter) {
        append(kReplacement);
        return;
    }
    UErrorCode status = U_ZERO_ERROR;
    ucnv_resetToUnicode(converter);
    icu::UnicodeString text(bytes.data(), static_cast<int32_t>(bytes.size()), converter, status);
    if (U_FAILURE(status)) {
        append(kReplacement);
        return;
    }
    for (int32_t k = 0; k < text.length(); k = text.moveIndex32(k, 1))
        append(static_cast<char32_t>(text.char32At(k)));
}

UConverter* Decoder::open(const std::string& name) {
    auto found = converters_.find(name);
    if (found != converters_.end())
        return found->second.get();
    UErrorCode status = U_ZERO_ERROR;
    UConverter* converter = ucnv_open(name.c_str(), &status);
    if (U_FAILURE(status))
        converter = nullptr;
    converters_.emplace(name, converter);
    return converter;
}

// Appends one character as UTF-8; controls other than tab and newline (ICU's substitute for an
// unassigned byte among them) and surrogates are not text.
void Decoder::append(char32_t c) {
    bool control = (c < 0x20 && c != '\t' && c != '\n') || (c >= 0x7F && c < 0xA0);
    if (control || (c >= 0xD800 && c < 0xE000) || c > 0x10FFFF)
        c = kReplacement;
    if (c < 0x80) {
        out_ += static_cast<char>(c);
    } else if (c < 0x800) {
        out_ += static_cast<char>(0xC0 | (c >> 6));
        out_ += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out_ += static_cast<char>(0xE0 | (c >> 12));
        out_ += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out_ += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out_ += static_cast<char>(0xF0 | (c >> 18));
        out_ += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out_ += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out_ += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// ESC, intermediate bytes (0x20-0x2F), one final byte (0x30-0x7E). A sequence cut short by the
// end or by any other byte is one U+FFFD; decoding resumes at the byte that broke it.
void Decoder::decodeEscape(std::string_view bytes, std::size_t& i) {
    std::size_t start = ++i;
    while (i < bytes.size() && static_cast<unsigned char>(bytes[i]) >= 0x20 &&
           static_cast<unsigned char>(bytes[i]) <= 0x2F)
        ++i;
    auto final = i < bytes.size() ? static_cast<unsigned char>(bytes[i]) : 0;
    if (final < 0x30 || final > 0x7E) {
        append(kReplacement);
        return;
    }
    std::string_view intermediates = bytes.substr(start, i - start);
    ++i;
    if (intermediates == "%" && final == 'G') {
        decodeUtf8Segment(bytes, i);
    } else if (intermediates == "%" && final == '@') {
        // Return from a segment that was never entered: nothing to undo.
    } else if (intermediates == "%/" && final >= '0' && final <= '4') {
        decodeNamedSegment(bytes, i);
    } else {
        designate(intermediates, final);
    }
}

void Decoder::designate(std::string_view intermediates, unsigned char final) {
    if (intermediates == "(")
        gl_ = set94(final);
    else if (intermediates == ")")
        gr_ = set94(final);
    else if (intermediates == "-")
        gr_ = set96(final);
    else if (intermediates == "$(" || (intermediates == "$" && final >= '@' && final <= 'B'))
        gl_ = set94x94(final);
    else if (intermediates == "$)")
        gr_ = set94x94(final);
    else
        append(kReplacement);
}

// CSI parameters intermediates final: in compound text only the direction markers, which carry
// no characters.
void Decoder::decodeControlSequence(std::string_view bytes, std::size_t& i) {
    ++i;
    while (i < bytes.size() && static_cast<unsigned char>(bytes[i]) >= 0x20 &&
           static_cast<unsigned char>(bytes[i]) <= 0x3F)
        ++i;
    if (i < bytes.size() && static_cast<unsigned char>(bytes[i]) >= 0x40 &&
        static_cast<unsigned char>(bytes[i]) <= 0x7E)
        ++i;
    else
        append(kReplacement);
}

// UTF-8 up to ESC % @ or the end, whichever comes first.
void Decoder::decodeUtf8Segment(std::string_view bytes, std::size_t& i) {
    std::size_t end = bytes.find("\x1B%@", i);
    std::size_t stop = end == std::string_view::npos ? bytes.size() : end;
    convert("UTF-8", bytes.substr(i, stop - i));
    i = end == std::string_view::npos ? bytes.size() : end + 3;
}

// ESC % / F M L, then (M - 128) * 128 + (L - 128) bytes: the encoding's name, STX, its text.
void Decoder::decodeNamedSegment(std::string_view bytes, std::size_t& i) {
    if (bytes.size() - i < 2 || static_cast<unsigned char>(bytes[i]) < 0x80 ||
        static_cast<unsigned char>(bytes[i + 1]) < 0x80) {
        append(kReplacement);
        return;
    }
    std::size_t length = (static_cast<unsigned char>(bytes[i]) - 0x80u) * 128u +
                         (static_cast<unsigned char>(bytes[i + 1]) - 0x80u);
    i += 2;
    std::string_view segment = bytes.substr(i, length);
    i += segment.size();
    std::size_t stx = segment.find('\x02');
    if (stx == std::string_view::npos) {
        append(kReplacement);
        return;
    }
    std::string_view name = segment.substr(0, stx);
    std::string_view text = segment.substr(stx + 1);
    // X names encodings like "big5-0" or "koi8-r"; ICU knows most without the "-0".
    if (name.size() > 2 && name.substr(name.size() - 2) == "-0" && isPlainName(name) &&
        !open(std::string(name)))
        name.remove_suffix(2);
    if (!isPlainName(name)) {
        append(kReplacement);
        return;
    }
    std::string converter(name);
    convert(converter.c_str(), text);
}

}  // namespace

std::string toUtf8(std::string_view bytes) {
    return Decoder().decode(bytes);
}

}  // namespace vantlo::CompoundText
