#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// Article files and HTTP bodies come in several encodings; inside the system text is
// GBK (GB18030 where GBK lacks a character). These turn bytes into in-system text.

// SiteConfig 文件编码 holds 0 … 4; 5 and 6 arise only from a meta tag.
enum class FileEncoding : std::int32_t {
    Auto = 0,  // detect ("自动识别"); also the result when detection found nothing
    Gbk,
    Utf8,
    Utf16Le,
    Utf16Be,
    Big5,
    Big5Hkscs,
};

struct DecodedText {
    std::string text;                           // in-system text, ends before any zero byte
    FileEncoding encoding = FileEncoding::Gbk;  // the encoding actually used
};

// A configured number as a FileEncoding. A number outside 0 … 6 takes none of the
// detection or conversion paths, so its bytes are read as GBK.
FileEncoding FileEncodingFromInt(std::int64_t value);

// The iconv charset name of an encoding ("UTF-8", "UTF-16LE", …); nullptr for Auto and Gbk.
const char* CharsetNameOf(FileEncoding encoding);

// Reads and decodes an article file (GBK path). The text is empty when the file cannot
// be read (missing, a folder, unreadable, or larger than kMaxArticleFileBytes); the
// encoding is then the one asked for.
DecodedText ReadArticleText(std::string_view gbkPath, FileEncoding encoding);

// Decodes bytes held in memory (an HTTP body, a file already read) the same way.
// Gzip data (all its members) is unpacked first. UTF-8 asked for by `encoding` is read
// as UTF-8 even when some bytes are invalid, each of them becoming "?"; UTF-8 found by
// detection (meta tag, byte test) without a byte-order mark is read as GBK instead
// when it does not convert. chosen false: the encoding is only a declaration (an HTTP
// header), read by that detection rule.
DecodedText DecodeTextBytes(std::string_view bytes, FileEncoding encoding, bool chosen = true);

// True when bytes walk as UTF-8 of one- to three-byte forms with at least one multi-byte
// sequence; pure ASCII, four-byte forms and cut-off sequences answer false.
bool LooksLikeUtf8(std::string_view bytes);

// The charset a page's meta tags declare: 0 none, 1 UTF-8, 2 Big5, 3 Big5-HKSCS.
std::int32_t DetectMetaCharset(std::string_view text);

// Bytes in the given iconv charset as GB18030 (no byte-order mark). Bytes that are invalid
// in the source charset are dropped; empty when the charset is unknown.
std::string ConvertToGb18030(std::string_view bytes, const char* charsetName);

// Limits against oversized input: an article file larger than this is not read, and a
// gzip stream stops producing output at the other (a small file can unpack to gigabytes).
inline constexpr std::size_t kMaxArticleFileBytes = std::size_t(256) << 20;
inline constexpr std::size_t kMaxGunzipBytes = std::size_t(64) << 20;
