#include "platform/linux/XcbReply.h"

#include <string_view>

#include "platform/linux/CompoundText.h"

namespace vantlo::XcbProperty {
namespace {

std::string latin1ToUtf8(const char* data, int length) {
    std::string out;
    out.reserve(static_cast<std::size_t>(length));
    for (int i = 0; i < length; ++i) {
        auto c = static_cast<unsigned char>(data[i]);
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

}  // namespace

std::optional<std::vector<std::uint32_t>> values32(const PropertyReply& reply) {
    if (!reply || reply->type == XCB_ATOM_NONE || reply->format != 32)
        return std::nullopt;
    auto* data = static_cast<const std::uint32_t*>(xcb_get_property_value(reply.get()));
    int count = xcb_get_property_value_length(reply.get()) / 4;
    return std::vector<std::uint32_t>(data, data + count);
}

std::optional<std::uint32_t> first32(const PropertyReply& reply) {
    auto values = values32(reply);
    if (!values || values->empty())
        return std::nullopt;
    return values->front();
}

std::optional<std::string> text(const PropertyReply& reply, xcb_atom_t utf8String,
                                xcb_atom_t compoundText) {
    if (!reply || reply->type == XCB_ATOM_NONE || reply->format != 8)
        return std::nullopt;
    const char* data = static_cast<const char*>(xcb_get_property_value(reply.get()));
    int length = xcb_get_property_value_length(reply.get());
    // Some clients include the terminating NUL.
    while (length > 0 && data[length - 1] == '\0')
        --length;
    if (reply->type == utf8String)
        return std::string(data, static_cast<std::size_t>(length));
    if (reply->type == compoundText && compoundText != XCB_ATOM_NONE)
        return CompoundText::toUtf8(std::string_view(data, static_cast<std::size_t>(length)));
    return latin1ToUtf8(data, length);
}

std::vector<std::string> strings(const PropertyReply& reply) {
    std::vector<std::string> out;
    if (!reply || reply->type == XCB_ATOM_NONE || reply->format != 8)
        return out;
    const char* data = static_cast<const char*>(xcb_get_property_value(reply.get()));
    int length = xcb_get_property_value_length(reply.get());
    int start = 0;
    for (int i = 0; i <= length; ++i) {
        if (i == length || data[i] == '\0') {
            if (i < length || i > start)
                out.push_back(latin1ToUtf8(data + start, i - start));
            start = i + 1;
        }
    }
    return out;
}

}  // namespace vantlo::XcbProperty
