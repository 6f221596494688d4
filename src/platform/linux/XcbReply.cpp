#include "platform/linux/XcbReply.h"

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

std::optional<std::string> text(const PropertyReply& reply, xcb_atom_t utf8String) {
    if (!reply || reply->type == XCB_ATOM_NONE || reply->format != 8)
        return std::nullopt;
    const char* data = static_cast<const char*>(xcb_get_property_value(reply.get()));
    int length = xcb_get_property_value_length(reply.get());
    // Some clients include the terminating NUL.
    while (length > 0 && data[length - 1] == '\0')
        --length;
    if (reply->type == utf8String)
        return std::string(data, static_cast<std::size_t>(length));
    return latin1ToUtf8(data, length);
}

std::vector<std::string> strings(const PropertyReply& reply) {
    std::vector<std::string> out;
    if (!reply || reply->type == XCB_ATOM_NONE || reply->format != 8)
        return out;
    const char* data = static_cast<const char*>(xcb_get_property_value(reply.get()));
    int length = xcb_get_property_value_length(reply.get());
    std::string current;
    for (int i = 0; i < length; ++i) {
        if (data[i] == '\0') {
            out.push_back(current);
            current.clear();
        } else {
            current += data[i];
        }
    }
    if (!current.empty())
        out.push_back(current);
    return out;
}

}  // namespace vantlo::XcbProperty
