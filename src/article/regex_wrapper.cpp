#include "article/regex_wrapper.h"

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <optional>

#include "core/charset.h"

namespace {

// Limits that keep a hostile pattern (nested quantifiers over a long text) from running
// for minutes; reaching one counts as "no match". The engine counts them per start
// position, and an ordinary lazy or greedy repeat takes about one step per character, so
// the step limit grows with the text: a fixed one would fail long articles, a huge one
// would let a hostile file filter burn seconds on every file name.
constexpr std::uint64_t kMatchLimitBase = 100'000;
constexpr std::uint64_t kMatchLimitPerByte = 64;
constexpr std::uint32_t kDepthLimit = 10'000'000;
constexpr std::uint32_t kHeapLimitKiB = 256 * 1024;
constexpr std::size_t kJitStackMax = 8 * 1024 * 1024;

std::uint32_t MatchLimitFor(std::size_t length) {
    const std::uint64_t limit = kMatchLimitBase + kMatchLimitPerByte * length;
    return static_cast<std::uint32_t>(std::min<std::uint64_t>(limit, UINT32_MAX));
}

constexpr char32_t kReplacementChar = 0xFFFD;

// Code points of every two-byte GBK/GB18030 character, looked up by (lead, trail); built
// once, so converting a long text costs one table lookup per character and not one
// converter call.
class TwoByteTable {
public:
    static const TwoByteTable& Get() {
        static const TwoByteTable table;
        return table;
    }
    char32_t At(unsigned char lead, unsigned char trail) const {
        return m_codes[(lead - 0x81) * 256 + trail];
    }

private:
    TwoByteTable() : m_codes(126 * 256, kReplacementChar) {
        for (int lead = 0x81; lead <= 0xFE; ++lead) FillRow(static_cast<unsigned char>(lead));
    }

    void FillRow(unsigned char lead) {
        std::string row;
        std::vector<unsigned char> trails;
        for (int trail = 0x40; trail <= 0xFE; ++trail) {
            if (trail == 0x7F) continue;
            row.push_back(static_cast<char>(lead));
            row.push_back(static_cast<char>(trail));
            trails.push_back(static_cast<unsigned char>(trail));
        }
        const auto whole = ToUtf32(row);
        if (whole && whole->size() == trails.size()) {
            for (std::size_t i = 0; i < trails.size(); ++i)
                m_codes[(lead - 0x81) * 256 + trails[i]] = (*whole)[i];
            return;
        }
        for (const unsigned char trail : trails) {
            const char pair[2] = {static_cast<char>(lead), static_cast<char>(trail)};
            const auto one = ToUtf32(std::string_view(pair, 2));
            if (one && one->size() == 1) m_codes[(lead - 0x81) * 256 + trail] = (*one)[0];
        }
    }

    std::vector<char32_t> m_codes;

public:
    static std::optional<std::u32string> ToUtf32(std::string_view gb) {
        const char32_t probe = 1;
        const char* utf32 =
            *reinterpret_cast<const unsigned char*>(&probe) == 1 ? "UTF-32LE" : "UTF-32BE";
        auto bytes = charset::Convert(gb, "GB18030", utf32, charset::OnInvalid::Fail);
        if (!bytes || bytes->size() % 4 != 0) return std::nullopt;
        std::u32string out(bytes->size() / 4, U'\0');
        std::memcpy(out.data(), bytes->data(), bytes->size());
        return out;
    }
};

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        if (cp >= 0xD800 && cp <= 0xDFFF) cp = kReplacementChar;
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        if (cp > 0x10FFFF) cp = kReplacementChar;
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

bool InRange(unsigned char c, unsigned char low, unsigned char high) {
    return c >= low && c <= high;
}

// One GB18030 character at pos: its code point and its length in bytes. A byte that does
// not start a valid character stands alone as U+FFFD, so the walk always advances.
std::pair<char32_t, std::size_t> DecodeOne(std::string_view gb, std::size_t pos) {
    const auto c = static_cast<unsigned char>(gb[pos]);
    if (c < 0x80) return {c, 1};
    if (c == 0x80 || c == 0xFF || pos + 1 >= gb.size()) return {kReplacementChar, 1};
    const auto c2 = static_cast<unsigned char>(gb[pos + 1]);
    if (InRange(c2, 0x40, 0xFE) && c2 != 0x7F) return {TwoByteTable::Get().At(c, c2), 2};
    if (InRange(c2, 0x30, 0x39) && pos + 3 < gb.size()) {
        const auto c3 = static_cast<unsigned char>(gb[pos + 2]);
        const auto c4 = static_cast<unsigned char>(gb[pos + 3]);
        if (InRange(c3, 0x81, 0xFE) && InRange(c4, 0x30, 0x39)) {
            const std::uint32_t linear =
                ((c - 0x81) * 10u + (c2 - 0x30)) * 1260u + (c3 - 0x81) * 10u + (c4 - 0x30);
            if (c >= 0x90) {
                const std::uint32_t cp = 0x10000 + linear - 189000u;
                return {cp <= 0x10FFFF ? cp : kReplacementChar, 4};
            }
            const auto one = TwoByteTable::ToUtf32(gb.substr(pos, 4));
            if (one && one->size() == 1) return {(*one)[0], 4};
            return {kReplacementChar, 4};
        }
    }
    return {kReplacementChar, 1};
}

// A GBK text as UTF-8, with enough of an offset map that match offsets map back to the
// original bytes (invalid bytes included, which keep their own place as U+FFFD). Between
// two recorded points every character is ASCII, one byte on both sides, so only the
// starts of non-ASCII characters and of the character after each are recorded: a large,
// mostly ASCII page costs next to no map.
struct Utf8View {
    std::string utf8;
    std::vector<std::uint32_t> utf8Starts;  // ascending
    std::vector<std::uint32_t> gbkStarts;   // parallel

    std::size_t ToGbk(std::size_t utf8Offset) const {
        const auto it = std::upper_bound(utf8Starts.begin(), utf8Starts.end(), utf8Offset);
        const auto i = static_cast<std::size_t>(it - utf8Starts.begin()) - 1;
        return gbkStarts[i] + (utf8Offset - utf8Starts[i]);
    }
    void Record(std::size_t utf8Offset, std::size_t gbkOffset) {
        if (utf8Starts.back() == utf8Offset) return;
        utf8Starts.push_back(static_cast<std::uint32_t>(utf8Offset));
        gbkStarts.push_back(static_cast<std::uint32_t>(gbkOffset));
    }
};

Utf8View ToUtf8View(std::string_view gb) {
    Utf8View view;
    view.utf8.reserve(gb.size() + gb.size() / 2);
    view.utf8Starts.push_back(0);
    view.gbkStarts.push_back(0);
    for (std::size_t pos = 0; pos < gb.size();) {
        const auto [cp, length] = DecodeOne(gb, pos);
        if (length == 1 && cp < 0x80) {
            view.utf8.push_back(static_cast<char>(cp));
            ++pos;
            continue;
        }
        view.Record(view.utf8.size(), pos);
        AppendUtf8(view.utf8, cp);
        pos += length;
        view.Record(view.utf8.size(), pos);
    }
    return view;
}

std::string ToUtf8(std::string_view gb) {
    std::string out;
    out.reserve(gb.size() + gb.size() / 2);
    for (std::size_t pos = 0; pos < gb.size();) {
        const auto [cp, length] = DecodeOne(gb, pos);
        AppendUtf8(out, cp);
        pos += length;
    }
    return out;
}

std::size_t Utf8CharLength(std::string_view utf8, std::size_t pos) {
    const auto c = static_cast<unsigned char>(utf8[pos]);
    if (c < 0x80) return 1;
    if (c >= 0xF0) return 4;
    if (c >= 0xE0) return 3;
    return 2;
}

// A match as GBK byte ranges: [0] the whole match, then one per group (npos start for a
// group that took no part).
using ByteSpans = std::vector<std::pair<std::size_t, std::size_t>>;

}  // namespace

struct RegexWrapper::Impl {
    pcre2_code* code = nullptr;
    pcre2_match_context* matchContext = nullptr;
    pcre2_jit_stack* jitStack = nullptr;
    bool global = true;
    bool hitLimit = false;  // the last run stopped at a limit
    std::vector<RegexMatch> matches;

    ~Impl() { Release(); }

    void Release() {
        if (matchContext) pcre2_match_context_free(matchContext);
        if (jitStack) pcre2_jit_stack_free(jitStack);
        if (code) pcre2_code_free(code);
        matchContext = nullptr;
        jitStack = nullptr;
        code = nullptr;
    }

    bool Compile(std::string_view pattern, bool ignoreCase, bool multiline) {
        Release();
        const std::string utf8 = ToUtf8(pattern);
        std::uint32_t options = PCRE2_UTF | PCRE2_NO_UTF_CHECK | PCRE2_ALT_BSUX |
                                PCRE2_NEVER_BACKSLASH_C | PCRE2_DOLLAR_ENDONLY;
        if (ignoreCase) options |= PCRE2_CASELESS;
        if (multiline) options |= PCRE2_MULTILINE;
        pcre2_compile_context* compileContext = pcre2_compile_context_create(nullptr);
        if (!compileContext) return false;
        pcre2_set_compile_extra_options(compileContext, PCRE2_EXTRA_ALT_BSUX);
        int error = 0;
        PCRE2_SIZE errorOffset = 0;
        code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(utf8.data()), utf8.size(), options,
                             &error, &errorOffset, compileContext);
        pcre2_compile_context_free(compileContext);
        if (!code) return false;
        matchContext = pcre2_match_context_create(nullptr);
        if (!matchContext) {
            Release();
            return false;
        }
        pcre2_set_depth_limit(matchContext, kDepthLimit);
        pcre2_set_heap_limit(matchContext, kHeapLimitKiB);
        // JIT is only a speed-up: without it (or without its stack) the interpreter runs.
        if (pcre2_jit_compile(code, PCRE2_JIT_COMPLETE) == 0) {
            jitStack = pcre2_jit_stack_create(32 * 1024, kJitStackMax, nullptr);
            if (jitStack) pcre2_jit_stack_assign(matchContext, nullptr, jitStack);
        }
        return true;
    }

    // All matches (or the first without global) as GBK byte spans; empty when the pattern
    // is invalid or a limit was reached anywhere, so a runaway pattern never yields half a
    // result.
    std::vector<ByteSpans> Run(std::string_view gb, bool all) {
        std::vector<ByteSpans> found;
        hitLimit = false;
        if (!code) return found;
        const Utf8View view = ToUtf8View(gb);
        pcre2_match_data* data = pcre2_match_data_create_from_pattern(code, nullptr);
        if (!data) return found;
        const auto* subject = reinterpret_cast<PCRE2_SPTR>(view.utf8.data());
        const std::size_t length = view.utf8.size();
        pcre2_set_match_limit(matchContext, MatchLimitFor(length));
        std::size_t start = 0;
        while (start <= length) {
            int rc =
                pcre2_match(code, subject, length, start, PCRE2_NO_UTF_CHECK, data, matchContext);
            // The JIT's stack is smaller than the interpreter's heap allowance: let the
            // interpreter try before giving up.
            if (rc == PCRE2_ERROR_JIT_STACKLIMIT) {
                rc = pcre2_match(code, subject, length, start, PCRE2_NO_UTF_CHECK | PCRE2_NO_JIT,
                                 data, matchContext);
            }
            if (rc == PCRE2_ERROR_NOMATCH) break;
            if (rc < 0) {
                hitLimit = true;
                found.clear();
                break;
            }
            const PCRE2_SIZE* ovector = pcre2_get_ovector_pointer(data);
            const std::uint32_t pairs = pcre2_get_ovector_count(data);
            ByteSpans spans;
            spans.reserve(pairs);
            for (std::uint32_t i = 0; i < pairs; ++i) {
                if (ovector[2 * i] == PCRE2_UNSET || i >= static_cast<std::uint32_t>(rc)) {
                    spans.emplace_back(std::string_view::npos, 0);
                    continue;
                }
                const std::size_t from = view.ToGbk(ovector[2 * i]);
                const std::size_t to = view.ToGbk(ovector[2 * i + 1]);
                spans.emplace_back(from, to >= from ? to - from : 0);
            }
            found.push_back(std::move(spans));
            if (!all) break;
            std::size_t next = ovector[1];
            // An empty match moves on by one character, as a script engine's global
            // search does, so the loop always advances.
            if (ovector[1] <= ovector[0] || next <= start) {
                if (next >= length) break;
                next += Utf8CharLength(view.utf8, next);
            }
            start = next;
        }
        pcre2_match_data_free(data);
        return found;
    }
};

RegexWrapper::RegexWrapper() : m_impl(std::make_unique<Impl>()) {}

RegexWrapper::RegexWrapper(std::string_view pattern, bool ignoreCase, bool multiline, bool global)
    : RegexWrapper() {
    Compile(pattern, ignoreCase, multiline, global);
}

RegexWrapper::~RegexWrapper() = default;
RegexWrapper::RegexWrapper(RegexWrapper&&) noexcept = default;
RegexWrapper& RegexWrapper::operator=(RegexWrapper&&) noexcept = default;

bool RegexWrapper::Compile(std::string_view pattern, bool ignoreCase, bool multiline, bool global) {
    if (!m_impl) m_impl = std::make_unique<Impl>();
    m_impl->global = global;
    m_impl->matches.clear();
    return m_impl->Compile(pattern, ignoreCase, multiline);
}

bool RegexWrapper::IsValid() const {
    return m_impl && m_impl->code;
}

const std::vector<RegexMatch>& RegexWrapper::Execute(std::string_view text) {
    if (!m_impl) m_impl = std::make_unique<Impl>();
    m_impl->matches.clear();
    for (const auto& spans : m_impl->Run(text, m_impl->global)) {
        RegexMatch match;
        match.firstByte = spans[0].first;
        match.value = std::string(text.substr(spans[0].first, spans[0].second));
        for (std::size_t i = 1; i < spans.size(); ++i) {
            match.submatches.push_back(
                spans[i].first == std::string_view::npos
                    ? std::string()
                    : std::string(text.substr(spans[i].first, spans[i].second)));
        }
        m_impl->matches.push_back(std::move(match));
    }
    return m_impl->matches;
}

bool RegexWrapper::Test(std::string_view text) const {
    return m_impl && !m_impl->Run(text, false).empty();
}

bool RegexWrapper::HitLimit() const {
    return m_impl && m_impl->hitLimit;
}

std::size_t RegexWrapper::MatchCount() const {
    return m_impl ? m_impl->matches.size() : 0;
}

std::string RegexWrapper::MatchValue(std::size_t n) const {
    if (n >= MatchCount()) return {};
    return m_impl->matches[n].value;
}

std::vector<std::string> RegexWrapper::Submatches(std::size_t n) const {
    if (n >= MatchCount()) return {};
    return m_impl->matches[n].submatches;
}

const std::vector<RegexMatch>& RegexWrapper::Matches() const {
    static const std::vector<RegexMatch> none;
    return m_impl ? m_impl->matches : none;
}

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// The replacement for one match: $1 … $99 (two digits when that group exists, as script
// engines read them), $& and $$; any other "$" stays as it is.
void AppendExpanded(std::string& out, std::string_view text, std::string_view replacement,
                    const ByteSpans& spans) {
    const std::size_t groups = spans.size() - 1;
    auto group = [&](std::size_t n) {
        if (spans[n].first != std::string_view::npos)
            out.append(text.substr(spans[n].first, spans[n].second));
    };
    for (std::size_t i = 0; i < replacement.size(); ++i) {
        const char c = replacement[i];
        if (c != '$' || i + 1 >= replacement.size()) {
            out.push_back(c);
            continue;
        }
        const char next = replacement[i + 1];
        if (next == '$') {
            out.push_back('$');
            ++i;
        } else if (next == '&') {
            group(0);
            ++i;
        } else if (IsDigit(next)) {
            const std::size_t one = static_cast<std::size_t>(next - '0');
            if (i + 2 < replacement.size() && IsDigit(replacement[i + 2])) {
                const std::size_t two =
                    one * 10 + static_cast<std::size_t>(replacement[i + 2] - '0');
                if (two >= 1 && two <= groups) {
                    group(two);
                    i += 2;
                    continue;
                }
            }
            if (one >= 1 && one <= groups) {
                group(one);
                ++i;
            } else {
                out.push_back(c);
            }
        } else {
            out.push_back(c);
        }
    }
}

}  // namespace

std::string RegexWrapper::Replace(std::string_view text, std::string_view replacement) const {
    if (!m_impl) return std::string(text);
    const auto found = m_impl->Run(text, m_impl->global);
    if (found.empty()) return std::string(text);
    std::string out;
    out.reserve(text.size());
    std::size_t copied = 0;
    for (const auto& spans : found) {
        out.append(text.substr(copied, spans[0].first - copied));
        AppendExpanded(out, text, replacement, spans);
        copied = spans[0].first + spans[0].second;
    }
    out.append(text.substr(copied));
    return out;
}

std::string WildcardToRegex(std::string_view filter) {
    // The fourteen characters escaped one after the other, backslash first, come out the
    // same as one escape each; walking by GBK character keeps a trail byte such as 0x5C
    // or 0x5B inside its double-byte character instead of splitting it with a backslash.
    static constexpr std::string_view kEscaped = "\\^$+.{}[]=()-\"";
    std::string out;
    out.reserve(filter.size() * 2);
    for (std::size_t pos = 0; pos < filter.size();) {
        const auto c = static_cast<unsigned char>(filter[pos]);
        if (c >= 0x80 && pos + 1 < filter.size()) {
            out.append(filter.substr(pos, 2));
            pos += 2;
            continue;
        }
        const char ch = filter[pos++];
        if (ch == '*') {
            out += ".*";
        } else if (ch == '?') {
            out += ".?";
        } else {
            if (kEscaped.find(ch) != std::string_view::npos) out.push_back('\\');
            out.push_back(ch);
        }
    }
    return out;
}
