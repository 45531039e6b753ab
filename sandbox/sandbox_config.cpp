#include "sandbox_config.h"

#include <charconv>
#include <fstream>

namespace sandbox {
namespace {

std::vector<std::string_view> Split(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    for (;;) {
        std::size_t at = text.find(separator);
        parts.push_back(text.substr(0, at));
        if (at == std::string_view::npos) return parts;
        text.remove_prefix(at + 1);
    }
}

bool ToInt(std::string_view text, std::int32_t& value) {
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size();
}

std::string Lower(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    }
    return out;
}

bool ParseSiteOptions(std::string_view text, SiteOptions& site, std::string& error) {
    for (std::string_view option : Split(text, ',')) {
        const std::string word = Lower(option);
        if (word == "pro") {
            site.pro = true;
        } else if (word == "captcha") {
            site.pro = site.loginCaptcha = true;
        } else if (word == "silent") {
            site.silentNotices = true;
        } else if (!word.empty()) {
            error = "options are pro, captcha and silent, separated by ','";
            return false;
        }
    }
    if (site.pro && site.charset != SiteCharset::Utf8) {
        error = "an emlog pro site is utf-8";
        return false;
    }
    return true;
}

}  // namespace

bool ParseCategoryList(std::string_view text, std::vector<SandboxCategory>& categories) {
    categories.clear();
    if (text.empty()) return true;
    for (std::string_view entry : Split(text, ',')) {
        std::vector<std::string_view> parts = Split(entry, ':');
        SandboxCategory category;
        if (parts.size() < 2 || parts.size() > 3 || !ToInt(parts[0], category.id) ||
            category.id <= 0 || parts[1].empty() ||
            (parts.size() == 3 && !ToInt(parts[2], category.parent))) {
            return false;
        }
        category.name = parts[1];
        categories.push_back(std::move(category));
    }
    return true;
}

bool ParseSiteLine(std::string_view line, SiteOptions& site, std::string& error) {
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    std::vector<std::string_view> fields = Split(line, '|');
    if (fields.size() < 5 || fields.size() > 8) {
        error =
            "expected prefix|user|password|charset|blog name[|admin folder[|categories"
            "[|options]]]";
        return false;
    }
    site = SiteOptions();
    site.prefix = fields[0] == "/" ? "" : std::string(fields[0]);
    while (!site.prefix.empty() && site.prefix.front() == '/') site.prefix.erase(0, 1);
    while (!site.prefix.empty() && site.prefix.back() == '/') site.prefix.pop_back();
    site.user = fields[1];
    site.password = fields[2];
    std::string charset = Lower(fields[3]);
    if (charset == "utf-8" || charset == "utf8") {
        site.charset = SiteCharset::Utf8;
    } else if (charset == "gbk" || charset == "gb2312") {
        site.charset = SiteCharset::Gbk;
    } else {
        error = "charset must be utf-8 or gbk";
        return false;
    }
    site.blogName = fields[4];
    if (fields.size() > 5 && !fields[5].empty()) site.adminDir = fields[5];
    if (fields.size() > 6 && !ParseCategoryList(fields[6], site.categories)) {
        error = "categories must be sid:name:parent, separated by ','";
        return false;
    }
    if (fields.size() > 7 && !ParseSiteOptions(fields[7], site, error)) return false;
    return true;
}

bool LoadSiteConfig(const std::string& path, std::vector<SiteOptions>& sites, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "cannot read " + path;
        return false;
    }
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        std::string_view text = line;
        if (number == 1 && text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
        if (text.empty() || text == "\r" || text.front() == '#') continue;
        SiteOptions site;
        if (!ParseSiteLine(text, site, error)) {
            error = path + ":" + std::to_string(number) + ": " + error;
            return false;
        }
        sites.push_back(std::move(site));
    }
    return true;
}

}  // namespace sandbox
