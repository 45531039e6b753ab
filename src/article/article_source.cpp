#include "article/article_source.h"

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <system_error>

#include "article/regex_wrapper.h"
#include "core/events.h"
#include "core/gbk_text.h"
#include "core/platform/paths.h"

namespace {

// Lets the user interface breathe during a long listing without paying for an event
// round per file.
class EventPump {
public:
    void Tick() {
        const auto now = std::chrono::steady_clock::now();
        if (now - m_last < std::chrono::milliseconds(20)) return;
        m_last = now;
        PumpEvents();
    }

private:
    std::chrono::steady_clock::time_point m_last = std::chrono::steady_clock::now();
};

// The folder with exactly one trailing separator; "" stays "" (an empty setting must not
// turn into the root of the file system).
std::string CompletedFolder(std::string_view folder) {
    std::string out(folder);
    if (!out.empty() && !platform::FileNameOf(out).empty()) out += platform::kPathSeparator;
    return out;
}

// The names (GBK) of the entries directly inside the folder that are not directories,
// in enumeration order.
std::vector<std::string> FileNamesIn(const std::string& folder, EventPump& pump) {
    std::vector<std::string> names;
    if (folder.empty()) return names;
    std::error_code ec;
    std::filesystem::directory_iterator it(platform::NativePath(folder), ec);
    if (ec) return names;
    for (const std::filesystem::directory_iterator end; it != end; it.increment(ec)) {
        if (ec) break;
        pump.Tick();
        std::error_code typeError;
        if (it->is_directory(typeError)) continue;
        const auto name = platform::GbkPath(it->path().filename());
        // A name without a GBK form would be posted with a garbled title: leave it out.
        if (!name || name->empty() || *name == "." || *name == "..") continue;
        names.push_back(*name);
    }
    return names;
}

bool EndsWithNoCase(std::string_view name, std::string_view lowerSuffix) {
    if (name.size() < lowerSuffix.size()) return false;
    return gbk::AsciiLower(name.substr(name.size() - lowerSuffix.size())) == lowerSuffix;
}

bool IsExtensionFilter(std::string_view filter) {
    return filter.size() >= 2 && filter.substr(0, 2) == "*." &&
           filter.find('*', 1) == std::string_view::npos && filter != "*.htm";
}

// GBK characters as numbers, ASCII letters folded, for the wildcard walk.
std::vector<std::uint32_t> FoldedChars(std::string_view text) {
    std::vector<std::uint32_t> out;
    out.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t length = gbk::CharLength(text, pos);
        std::uint32_t code = static_cast<unsigned char>(gbk::AsciiLower(text[pos]));
        if (length == 2) code = (code << 8) | static_cast<unsigned char>(text[pos + 1]);
        out.push_back(code);
        pos += length;
    }
    return out;
}

}  // namespace

bool WildcardMatches(std::string_view pattern, std::string_view name) {
    if (pattern == "*.*") pattern = "*";
    // Runs of "*" act as one; a pattern needing more characters than the name has fails at
    // once, which bounds the walk below by the name's length even for huge filters.
    std::vector<std::uint32_t> p;
    std::size_t fixed = 0;
    for (const std::uint32_t c : FoldedChars(pattern)) {
        if (c == '*' && !p.empty() && p.back() == '*') continue;
        if (c != '*') ++fixed;
        p.push_back(c);
    }
    const std::vector<std::uint32_t> s = FoldedChars(name);
    if (fixed > s.size()) return false;
    std::size_t pi = 0, si = 0, starP = SIZE_MAX, starS = 0;
    while (si < s.size()) {
        if (pi < p.size() && p[pi] == '*') {
            starP = pi++;
            starS = si;
        } else if (pi < p.size() && (p[pi] == '?' || p[pi] == s[si])) {
            ++pi;
            ++si;
        } else if (starP != SIZE_MAX) {
            pi = starP + 1;
            si = ++starS;
        } else {
            return false;
        }
    }
    while (pi < p.size() && p[pi] == '*') ++pi;
    return pi == p.size();
}

std::vector<std::string> PatternScan(SiteConfig& site) {
    if (site.文件过滤.empty()) site.文件过滤 = std::string(1, '*');
    const std::string filter = site.文件过滤;
    const std::string folder = CompletedFolder(site.文章目录);
    EventPump pump;
    const std::vector<std::string> names = FileNamesIn(folder, pump);

    std::vector<std::string> list;
    const bool all = filter == "*.*" || filter == "*";
    const bool byExtension = !all && IsExtensionFilter(filter);
    const std::string extension = gbk::AsciiLower(std::string_view(filter).substr(1));
    RegexWrapper expression;
    if (!all && !byExtension) expression.Compile(WildcardToRegex(filter), true, true, false);
    bool gaveUp = false;
    for (const auto& name : names) {
        pump.Tick();
        bool take = all;
        if (byExtension) {
            take = EndsWithNoCase(name, extension);
        } else if (!all && !gaveUp) {
            const auto& matches = expression.Execute(name);
            take = !matches.empty() && gbk::AsciiLower(matches[0].value) == gbk::AsciiLower(name);
            // A filter that runs into the engine's limits matches nothing; trying it on
            // every remaining name would only burn the same time again.
            gaveUp = expression.HitLimit();
        }
        if (take) list.push_back(folder + name);
    }
    return list;
}

std::vector<std::string> FindFileScan(SiteConfig& site) {
    site.文章目录 = CompletedFolder(site.文章目录);
    if (site.文件过滤.empty()) site.文件过滤 = std::string("*.*");
    const std::string& folder = site.文章目录;
    const std::string_view filter = site.文件过滤;

    std::vector<std::string_view> items;
    for (std::size_t start = 0; start < filter.size();) {
        const std::size_t bar = filter.find('|', start);
        const std::size_t end = bar == std::string_view::npos ? filter.size() : bar;
        items.push_back(filter.substr(start, end - start));
        start = end + 1;
    }
    // One listing serves every item: the folder is read once, then matched item by item.
    EventPump pump;
    const std::vector<std::string> names = FileNamesIn(folder, pump);
    std::vector<std::string> list;
    for (const auto item : items) {
        for (const auto& name : names) {
            pump.Tick();
            if (WildcardMatches(item, name)) list.push_back(folder + name);
        }
    }
    return list;
}

std::vector<std::string> ScanArticles(SiteConfig& site, ScanVariant variant) {
    return variant == ScanVariant::PatternScan ? PatternScan(site) : FindFileScan(site);
}
