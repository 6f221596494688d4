#include "settings/TranslationTable.h"
#include "platform/AsciiText.h"

#include <filesystem>
#include <fstream>

namespace vantlo {
namespace {

std::string_view trim(std::string_view text) {
    return AsciiText::trimmed(text, AsciiText::kLineBlanks);
}

char unescaped(char c) {
    switch (c) {
        case 'n':
            return '\n';
        case 't':
            return '\t';
        case 'r':
            return '\r';
        case 'a':
            return '\a';
        case 'b':
            return '\b';
        case 'f':
            return '\f';
        case 'v':
            return '\v';
        default:
            return c;  // \" and \\ stand for themselves, and so does anything unknown
    }
}

// The contents of a quoted .po string, or nothing when `text` is not one.
std::optional<std::string> unquote(std::string_view text) {
    text = trim(text);
    if (text.size() < 2 || text.front() != '"' || text.back() != '"')
        return std::nullopt;
    text = text.substr(1, text.size() - 2);
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '"')
            return std::nullopt;
        if (c != '\\') {
            out += c;
            continue;
        }
        if (++i == text.size())
            return std::nullopt;
        out += unescaped(text[i]);
    }
    return out;
}

bool hasFuzzyFlag(std::string_view flags) {
    while (!flags.empty()) {
        auto comma = flags.find(',');
        if (trim(flags.substr(0, comma)) == "fuzzy")
            return true;
        if (comma == std::string_view::npos)
            break;
        flags.remove_prefix(comma + 1);
    }
    return false;
}

using Translations = std::map<std::string, std::string, std::less<>>;
using Keys = std::set<std::string, std::less<>>;

// Reads a .po file line by line, the way gettext's tools do, collecting finished entries.
class PoParser {
  public:
    PoParser(Translations& translations, Keys& keys) : translations_(translations), keys_(keys) {}

    void line(std::string_view raw) {
        auto text = trim(raw);
        if (text.empty())
            return;
        if (text.front() == '#')
            comment(text);
        else if (text.front() == '"')
            continuation(text);
        else
            keyword(text);
    }

    void finish() {
        bool usable = entry_.msgid && !entry_.msgid->empty() && entry_.hasMsgstr &&
                      !entry_.broken && !entry_.context;
        if (usable) {
            keys_.insert(*entry_.msgid);
            if (!entry_.fuzzy && !entry_.msgstr.empty())
                translations_[*entry_.msgid] = entry_.msgstr;
        }
        entry_ = Entry{};
        field_ = Field::none;
    }

  private:
    enum class Field { none, context, msgid, msgstr, ignored };

    struct Entry {
        bool fuzzy = false;
        bool broken = false;
        bool hasMsgstr = false;
        std::optional<std::string> context;
        std::optional<std::string> msgid;
        std::string msgstr;  // the singular form, or the first plural form
    };

    void comment(std::string_view text) {
        if (text.starts_with("#~"))
            return;  // obsolete entries are kept by the tools but never looked up
        if (entry_.hasMsgstr)
            finish();
        if (text.starts_with("#,") && hasFuzzyFlag(text.substr(2)))
            pendingFuzzy_ = true;
    }

    void continuation(std::string_view text) {
        auto piece = unquote(text);
        if (!piece) {
            entry_.broken = true;
            return;
        }
        if (field_ == Field::context)
            *entry_.context += *piece;
        else if (field_ == Field::msgid)
            *entry_.msgid += *piece;
        else if (field_ == Field::msgstr)
            entry_.msgstr += *piece;
        else if (field_ == Field::none)
            entry_.broken = true;
    }

    void keyword(std::string_view text) {
        auto space = text.find_first_of(" \t");
        auto word = text.substr(0, space);
        auto value = unquote(space == std::string_view::npos ? "" : text.substr(space));
        bool starts = word == "msgctxt" || word == "msgid";
        if (starts && (entry_.hasMsgstr || (word == "msgctxt" && entry_.msgid)))
            finish();
        if (starts && !entry_.context && !entry_.msgid) {
            entry_.fuzzy = pendingFuzzy_;
            pendingFuzzy_ = false;
        }
        if (!value) {
            entry_.broken = true;
            field_ = Field::ignored;
            return;
        }
        if (word == "msgctxt") {
            entry_.context = std::move(value);
            field_ = Field::context;
        } else if (word == "msgid") {
            entry_.broken = entry_.broken || entry_.msgid.has_value();
            entry_.msgid = std::move(value);
            field_ = Field::msgid;
        } else if (word == "msgstr" || word == "msgstr[0]") {
            entry_.hasMsgstr = true;
            entry_.msgstr = std::move(*value);
            field_ = Field::msgstr;
        } else if (word == "msgid_plural" || word.starts_with("msgstr[")) {
            entry_.hasMsgstr = entry_.hasMsgstr || word != "msgid_plural";
            field_ = Field::ignored;
        } else {
            entry_.broken = true;
            field_ = Field::ignored;
        }
    }

    Translations& translations_;
    Keys& keys_;
    Entry entry_;
    Field field_ = Field::none;
    bool pendingFuzzy_ = false;
};

}  // namespace

TranslationTable TranslationTable::parse(std::string_view text) {
    TranslationTable table;
    PoParser parser(table.translations_, table.keys_);
    while (!text.empty()) {
        auto end = text.find('\n');
        parser.line(text.substr(0, end));
        if (end == std::string_view::npos)
            break;
        text.remove_prefix(end + 1);
    }
    parser.finish();
    return table;
}

std::optional<TranslationTable> TranslationTable::load(const std::string& path) {
    // The tables ship with the program, so a check before opening is enough here; the reading
    // stops at the limit even if the file grew in between.
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error) ||
        std::filesystem::file_size(path, error) > kMaxFileBytes || error)
        return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::string text;
    char buffer[16384];
    while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
        text.append(buffer, static_cast<std::size_t>(in.gcount()));
        if (text.size() > kMaxFileBytes)
            return std::nullopt;
    }
    if (in.bad())
        return std::nullopt;
    return parse(text);
}

std::optional<std::string> TranslationTable::find(std::string_view english) const {
    auto it = translations_.find(english);
    if (it == translations_.end())
        return std::nullopt;
    return it->second;
}

bool TranslationTable::contains(std::string_view english) const {
    return keys_.find(english) != keys_.end();
}

}  // namespace vantlo
