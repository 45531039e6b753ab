#include "article/text_decoding.h"

#include <zlib.h>

#include <cstring>
#include <filesystem>
#include <optional>

#include "article/text_markers.h"
#include "core/charset.h"
#include "core/events.h"
#include "core/gbk_text.h"
#include "core/platform/files.h"
#include "core/platform/paths.h"

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeBom = "\xFF\xFE";
constexpr std::string_view kUtf16BeBom = "\xFE\xFF";
constexpr std::string_view kGzipMagic = "\x1F\x8B";

bool StartsWith(std::string_view bytes, std::string_view prefix) {
    return bytes.substr(0, prefix.size()) == prefix;
}

// Gunzips every member of a gzip file, one after the other as gzip itself does (a file
// made with `cat a.gz b.gz` holds two). A damaged or cut-off stream, or bytes after a
// member that are not another one, keep what was produced before the fault; output
// stops at kMaxGunzipBytes in all.
std::string Gunzip(std::string_view bytes) {
    std::string out;
    z_stream stream{};
    if (inflateInit2(&stream, 16 + MAX_WBITS) != Z_OK) return out;
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
    stream.avail_in = static_cast<uInt>(bytes.size());
    unsigned char chunk[8192];
    while (out.size() < kMaxGunzipBytes) {
        stream.next_out = chunk;
        stream.avail_out = sizeof chunk;
        const int rc = inflate(&stream, Z_NO_FLUSH);
        const std::size_t produced = sizeof chunk - stream.avail_out;
        out.append(reinterpret_cast<const char*>(chunk), produced);
        if (rc == Z_STREAM_END) {
            if (stream.avail_in == 0 || inflateReset(&stream) != Z_OK) break;
            continue;  // the next member
        }
        if (rc != Z_OK) break;                             // a fault
        if (produced == 0 && stream.avail_in == 0) break;  // input cut short
    }
    inflateEnd(&stream);
    if (out.size() > kMaxGunzipBytes) out.resize(kMaxGunzipBytes);
    return out;
}

// Bytes a UTF-8 lead byte announces (0 for a byte that cannot start a sequence).
std::size_t Utf8SequenceLength(unsigned char c) {
    if (c < 0x80) return 1;
    if ((c & 0xE0) == 0xC0) return 2;
    if ((c & 0xF0) == 0xE0) return 3;
    if ((c & 0xF8) == 0xF0) return 4;
    return 0;
}

// The bytes without a multi-byte sequence cut short at their very end (a file cut off
// in the middle of a character keeps the characters before it).
std::string_view WithoutCutUtf8Tail(std::string_view bytes) {
    const std::size_t look = bytes.size() < 3 ? bytes.size() : 3;
    for (std::size_t back = 1; back <= look; ++back) {
        const auto c = static_cast<unsigned char>(bytes[bytes.size() - back]);
        if ((c & 0xC0) == 0x80) continue;  // a continuation byte: look further back
        const std::size_t need = Utf8SequenceLength(c);
        return need > back ? bytes.substr(0, bytes.size() - back) : bytes;
    }
    return bytes;
}

// UTF-8 to GB18030 only when the bytes are valid UTF-8 (apart from a cut-off end).
std::optional<std::string> StrictUtf8ToGb18030(std::string_view bytes) {
    if (auto out = charset::Convert(bytes, "UTF-8", "GB18030")) return out;
    const std::string_view trimmed = WithoutCutUtf8Tail(bytes);
    if (trimmed.size() == bytes.size()) return std::nullopt;
    return charset::Convert(trimmed, "UTF-8", "GB18030");
}

// UTF-8 the user chose: every byte that does not decode becomes "?", the rest is read as
// UTF-8 all the same. "?" rather than U+FFFD: in GB18030 that is a four-byte sequence,
// which the GBK walkers take for two double-byte characters, so a cut of the text (a
// title's length, a summary) could leave half of it behind; one ASCII byte can never
// pair with its neighbours. A sequence cut off at the very end is dropped as elsewhere.
std::string Utf8WithReplacementToGb18030(std::string_view bytes) {
    if (auto out = StrictUtf8ToGb18030(bytes)) return *out;
    return charset::Convert(WithoutCutUtf8Tail(bytes), "UTF-8", "GB18030",
                            charset::OnInvalid::Replace, "?")
        .value_or("");
}

// UTF-16 with every unpaired surrogate replaced by "?" and an odd last byte dropped, so
// the conversion never fails and never slips out of step with the code units.
std::string SanitisedUtf16(std::string_view bytes, bool littleEndian) {
    std::string out(bytes.substr(0, bytes.size() & ~std::size_t(1)));
    auto unitAt = [&](std::size_t i) {
        const auto a = static_cast<unsigned char>(out[i]);
        const auto b = static_cast<unsigned char>(out[i + 1]);
        return littleEndian ? static_cast<unsigned>(a | (b << 8))
                            : static_cast<unsigned>((a << 8) | b);
    };
    auto question = [&](std::size_t i) {
        out[i] = littleEndian ? '?' : '\0';
        out[i + 1] = littleEndian ? '\0' : '?';
    };
    for (std::size_t i = 0; i + 1 < out.size(); i += 2) {
        const unsigned unit = unitAt(i);
        if (unit >= 0xD800 && unit <= 0xDBFF) {
            if (i + 3 < out.size()) {
                const unsigned next = unitAt(i + 2);
                if (next >= 0xDC00 && next <= 0xDFFF) {
                    i += 2;
                    continue;
                }
            }
            question(i);
        } else if (unit >= 0xDC00 && unit <= 0xDFFF) {
            question(i);
        }
    }
    return out;
}

// Text ends at its first zero byte.
std::string AsText(std::string_view bytes) {
    return std::string(gbk::UntilZero(bytes));
}

}  // namespace

FileEncoding FileEncodingFromInt(std::int64_t value) {
    if (value < 0 || value > static_cast<std::int64_t>(FileEncoding::Big5Hkscs))
        return FileEncoding::Gbk;
    return static_cast<FileEncoding>(value);
}

const char* CharsetNameOf(FileEncoding encoding) {
    switch (encoding) {
        case FileEncoding::Utf8:
            return "UTF-8";
        case FileEncoding::Utf16Le:
            return "UTF-16LE";
        case FileEncoding::Utf16Be:
            return "UTF-16BE";
        case FileEncoding::Big5:
            return "BIG5";
        case FileEncoding::Big5Hkscs:
            return "BIG5-HKSCS";
        default:
            return nullptr;
    }
}

bool LooksLikeUtf8(std::string_view bytes) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t n = bytes.size();
    bool multiByte = false;
    std::size_t nextPump = std::size_t(1) << 20;
    std::size_t i = 0;
    while (i < n) {
        // ASCII runs eight bytes at a time.
        if (i + 8 <= n) {
            std::uint64_t word;
            std::memcpy(&word, p + i, sizeof word);
            if ((word & 0x8080808080808080ULL) == 0) {
                i += 8;
                continue;
            }
        }
        if (i >= nextPump) {
            // The walk of a large buffer on the UI thread must not freeze the windows;
            // once per megabyte is plenty.
            PumpEvents();
            nextPump = i + (std::size_t(1) << 20);
        }
        const unsigned char c = p[i];
        if (c < 0x80) {
            ++i;
        } else if ((c & 0xE0) == 0xC0) {
            if (i + 1 >= n || (p[i + 1] & 0xC0) != 0x80) return false;
            i += 2;
            multiByte = true;
        } else if ((c & 0xF0) == 0xE0) {
            if (i + 2 >= n || (p[i + 1] & 0xC0) != 0x80 || (p[i + 2] & 0xC0) != 0x80) return false;
            i += 3;
            multiByte = true;
        } else {
            return false;
        }
    }
    return multiByte;
}

std::int32_t DetectMetaCharset(std::string_view text) {
    std::int64_t position = 0;
    const std::string head = TextBetween(text, "<head>", "</head>", position, true);
    const std::string_view scope = head.empty() ? text : std::string_view(head);
    static constexpr const char* kTests[] = {
        "charset=UTF-8[fg]charset=''UTF-8''[fg]charset='UTF-8'",
        "charset=Big5[fg]charset=''Big5''[fg]charset='Big5'",
        "charset=Big5-HKSCS[fg]charset=''Big5-HKSCS''[fg]charset='Big5-HKSCS'",
    };
    std::int64_t metaPosition = 0;
    while (true) {
        const std::string meta = TextBetween(scope, "<meta", ">", metaPosition);
        if (metaPosition == -2) return 0;
        for (std::int32_t i = 0; i < 3; ++i)
            if (ContainsAny(meta, kTests[i])) return i + 1;
    }
}

std::string ConvertToGb18030(std::string_view bytes, const char* charsetName) {
    if (!charsetName) return {};
    const std::string_view name(charsetName);
    if (name == "UTF-16LE" || name == "UTF-16BE")
        return charset::Convert(SanitisedUtf16(bytes, name == "UTF-16LE"), charsetName, "GB18030")
            .value_or("");
    if (name == "UTF-8") {
        if (auto out = StrictUtf8ToGb18030(bytes)) return *out;
    }
    return charset::Convert(bytes, charsetName, "GB18030", charset::OnInvalid::Skip).value_or("");
}

DecodedText DecodeTextBytes(std::string_view bytes, FileEncoding encoding, bool chosen) {
    const bool chosenUtf8 = chosen && encoding == FileEncoding::Utf8;
    std::string unpacked;
    std::string_view data = bytes;
    if (StartsWith(bytes, kGzipMagic)) {
        unpacked = Gunzip(bytes);
        data = unpacked;
    }

    std::size_t position = 0;
    bool utf8Bom = false;
    switch (encoding) {
        case FileEncoding::Auto:
            if (StartsWith(data, kUtf8Bom)) {
                encoding = FileEncoding::Utf8;
                position = 3;
                utf8Bom = true;
            } else if (StartsWith(data, kUtf16LeBom)) {
                encoding = FileEncoding::Utf16Le;
                position = 2;
            } else if (StartsWith(data, kUtf16BeBom)) {
                encoding = FileEncoding::Utf16Be;
                position = 2;
            } else {
                switch (DetectMetaCharset(gbk::UntilZero(data))) {
                    case 1:
                        encoding = FileEncoding::Utf8;
                        break;
                    case 2:
                        encoding = FileEncoding::Big5;
                        break;
                    case 3:
                        encoding = FileEncoding::Big5Hkscs;
                        break;
                    default:
                        break;
                }
            }
            break;
        case FileEncoding::Utf16Le:
        case FileEncoding::Utf16Be:
            // Taken to be the byte-order mark, unseen.
            position = data.size() < 2 ? data.size() : 2;
            break;
        case FileEncoding::Utf8:
            if (StartsWith(data, kUtf8Bom)) {
                position = 3;
                utf8Bom = true;
            }
            break;
        default:
            break;
    }

    const std::string_view rest = data.substr(position);
    if (encoding == FileEncoding::Auto && LooksLikeUtf8(rest)) encoding = FileEncoding::Utf8;

    std::string converted;
    const char* name = CharsetNameOf(encoding);
    if (name && !rest.empty()) {
        if (encoding == FileEncoding::Utf8 && chosenUtf8 && !utf8Bom) {
            // The caller said UTF-8: one bad byte must not turn the whole text into GBK.
            converted = Utf8WithReplacementToGb18030(rest);
        } else if (encoding == FileEncoding::Utf8 && !utf8Bom) {
            // UTF-8 by meta tag or byte test, but not marked: bytes that do not convert
            // (the byte test lets overlong and surrogate forms pass) are nearly always
            // GBK, and the raw reading below keeps every byte of them.
            converted = StrictUtf8ToGb18030(rest).value_or("");
        } else {
            converted = ConvertToGb18030(rest, name);
        }
    }
    // Only a conversion that gave nothing falls back to the raw bytes; one that begins
    // with a zero character is a text that ends at once, not a reason to show the
    // byte-order mark as GBK characters.
    if (converted.empty()) return {AsText(data), FileEncoding::Gbk};
    return {AsText(converted), encoding};
}

DecodedText ReadArticleText(std::string_view gbkPath, FileEncoding encoding) {
    // Opened for reading only: a file the user may not write (read-only attribute or
    // permissions) is still a readable article, and nothing is written to it here.
    std::error_code ec;
    if (!std::filesystem::is_regular_file(platform::NativePath(gbkPath), ec))
        return {std::string(), encoding};
    const auto bytes = platform::ReadWholeFile(gbkPath, kMaxArticleFileBytes);
    if (!bytes) return {std::string(), encoding};
    return DecodeTextBytes(*bytes, encoding);
}
