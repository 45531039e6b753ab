#include <cstdio>

#include "sandbox_server.h"

namespace sandbox {
namespace {

// Length of the valid UTF-8 sequence at text[i], 0 when it is not one.
std::size_t Utf8SequenceLength(std::string_view text, std::size_t i) {
    auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    unsigned char lead = byte(i);
    std::size_t length = lead < 0x80         ? 1
                         : (lead >> 5) == 6  ? 2
                         : (lead >> 4) == 14 ? 3
                         : (lead >> 3) == 30 ? 4
                                             : 0;
    if (length == 0 || i + length > text.size()) return 0;
    for (std::size_t k = 1; k < length; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80) return 0;
    }
    if (length == 2 && lead < 0xC2) return 0;  // overlong
    return length;
}

void AppendJsonString(std::string& out, std::string_view text) {
    out += '"';
    for (std::size_t i = 0; i < text.size();) {
        char c = text[i];
        std::size_t length = Utf8SequenceLength(text, i);
        if (length == 0) {  // bytes that are not UTF-8 (a GBK body on a UTF-8 site)
            out += "\\ufffd";
            ++i;
            continue;
        }
        if (length > 1) {
            out.append(text, i, length);
        } else if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\t') {
            out += "\\t";
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned char>(c));
            out += escaped;
        } else {
            out += c;
        }
        i += length;
    }
    out += '"';
}

void AppendField(std::string& out, const char* name, std::string_view value) {
    out += ",\"";
    out += name;
    out += "\":";
    AppendJsonString(out, value);
}

}  // namespace

std::string PostToJson(const SandboxPost& post, std::string_view site) {
    std::string out = "{\"site\":";
    AppendJsonString(out, site);
    out += ",\"id\":" + std::to_string(post.id);
    AppendField(out, "title", post.title);
    AppendField(out, "content", post.content);
    AppendField(out, "tag", post.tag);
    out += ",\"tags\":[";
    for (std::size_t i = 0; i < post.tags.size(); ++i) {
        if (i > 0) out += ',';
        AppendJsonString(out, post.tags[i]);
    }
    out += ']';
    AppendField(out, "excerpt", post.excerpt);
    AppendField(out, "alias", post.alias);
    AppendField(out, "stored_alias", post.storedAlias);
    AppendField(out, "sort", post.sort);
    AppendField(out, "postdate", post.postdate);
    AppendField(out, "top", post.top);
    AppendField(out, "sortop", post.sortop);
    AppendField(out, "allow_remark", post.allowRemark);
    AppendField(out, "token", post.token);
    AppendField(out, "author", post.author);
    AppendField(out, "as_logid", post.asLogid);
    out += ",\"submissions\":" + std::to_string(post.submissions) + "}";
    return out;
}

}  // namespace sandbox
