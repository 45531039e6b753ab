#include "cli/site_json.h"

#include <cstdio>

#include "core/charset.h"
#include "core/gbk_text.h"
#include "settings/site_editor.h"
#include "settings/site_records.h"

std::string JsonString(std::string_view utf8) {
    std::string out = "\"";
    for (const char c : utf8) {
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
                if (static_cast<unsigned char>(c) < 0x20) {
                    char escaped[8];
                    std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
                    out += escaped;
                } else {
                    out += c;
                }
        }
    }
    return out + "\"";
}

std::string SiteJson(const SiteConfig& site) {
    static const std::string yes = charset::Utf8ToGbk("真");
    static const std::string lineBreak = charset::Utf8ToGbk("┊*┊");
    const auto& types = SiteKeyControls();
    const auto values = SiteKeyValues(site);
    std::string out = "{";
    for (std::size_t i = 0; i < values.size(); ++i) {
        const auto& [key, value] = values[i];
        // Both tables list the keys in the order they are saved.
        const SiteValueType type =
            i < types.size() && types[i].key == key ? types[i].type : SiteValueType::Text;
        // Appended piece by piece: GCC 12 at -O3 warns (-Wrestrict) on a C string put in
        // front of a temporary std::string.
        if (i) out += ',';
        out += JsonString(charset::GbkToUtf8(key));
        out += ':';
        switch (type) {
            case SiteValueType::Logical:
                out += value == yes ? "true" : "false";
                break;
            case SiteValueType::Integer:
            case SiteValueType::Real:
            case SiteValueType::Choice:
                out += value;
                break;
            case SiteValueType::Text:
            case SiteValueType::Lines:
                // The saved line-break mark back to the line breaks it stands for.
                out += JsonString(charset::GbkToUtf8(gbk::ReplaceAll(value, lineBreak, "\r\n")));
                break;
            case SiteValueType::Bytes:
                out += JsonString(value);
                break;
        }
    }
    return out + "}";
}
