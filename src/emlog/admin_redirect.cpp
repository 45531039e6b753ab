#include "emlog/admin_redirect.h"

#include <algorithm>
#include <vector>

#include "core/gbk_text.h"
#include "emlog/http_client.h"

namespace {

struct UrlParts {
    std::string_view path;
    std::string_view query;
};

UrlParts Split(std::string_view url) {
    url = url.substr(0, url.find('#'));
    const std::size_t scheme = url.find("://");
    const std::size_t hostStart = scheme == std::string_view::npos ? 0 : scheme + 3;
    const std::size_t pathStart = std::min(url.find_first_of("/?", hostStart), url.size());
    const std::string_view rest = url.substr(pathStart);
    const std::size_t question = rest.find('?');
    if (question == std::string_view::npos) return {rest, {}};
    return {rest.substr(0, question), rest.substr(question + 1)};
}

std::vector<std::string_view> Parameters(std::string_view query) {
    std::vector<std::string_view> parameters;
    while (!query.empty()) {
        const std::size_t amp = query.find('&');
        if (amp != 0) parameters.push_back(query.substr(0, amp));
        if (amp == std::string_view::npos) break;
        query.remove_prefix(amp + 1);
    }
    return parameters;
}

}  // namespace

bool EndedAtAdminPage(const EmlogClient& client, std::string_view finalUrl, std::string_view page) {
    if (finalUrl.empty()) return false;
    // Built as the request URLs are, so both sides carry the same escapes.
    const std::string expectedUrl = NormaliseRequestUrl(client.AdminUrl(page));
    const UrlParts expected = Split(expectedUrl);
    const UrlParts final = Split(finalUrl);
    if (gbk::AsciiLower(expected.path) != gbk::AsciiLower(final.path)) return false;
    const auto wanted = Parameters(expected.query);
    const auto got = Parameters(final.query);
    if (wanted.empty()) return got.empty();
    return std::all_of(wanted.begin(), wanted.end(), [&](std::string_view parameter) {
        return std::find(got.begin(), got.end(), parameter) != got.end();
    });
}
