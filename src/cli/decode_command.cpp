// qingluan-cli decode FILE [--encoding 0..4]: how an article file decodes.

#include <cstdio>
#include <string>

#include "article/text_decoding.h"
#include "cli/command.h"
#include "core/charset.h"
#include "core/platform/files.h"

namespace {

// The encoding option: a plain number 0 … 4, as SiteConfig 文件编码 holds.
bool ParseEncoding(const std::string& text, FileEncoding& encoding) {
    if (text.size() != 1 || text[0] < '0' || text[0] > '4') return false;
    encoding = static_cast<FileEncoding>(text[0] - '0');
    return true;
}

int RunDecode(CliContext& context) {
    auto& args = context.args;
    FileEncoding encoding = FileEncoding::Auto;
    std::string value;
    if (TakeOption(args, "--encoding", value)) {
        if (!ParseEncoding(value, encoding))
            return CliFail(
                "--encoding takes 0 (auto), 1 (GBK), 2 (UTF-8), 3 (UTF-16LE) or "
                "4 (UTF-16BE), not \"" +
                value + "\"");
    }
    if (args.size() != 1 || args[0].rfind("--", 0) == 0)
        return CliFail("usage: decode FILE [--encoding 0..4]");
    const auto path = charset::Utf8ToGbkStrict(args[0]);
    if (!path) return CliFail("the path has characters outside GBK: " + args[0]);
    if (!platform::FileExists(*path))
        return CliFail("no such file, or not a regular file: " + args[0]);
    const DecodedText decoded = ReadArticleText(*path, encoding);
    if (decoded.text.empty() && !platform::ReadWholeFile(*path, kMaxArticleFileBytes))
        return CliFail("cannot read the file: " + args[0]);
    std::printf("%d\n", static_cast<int>(decoded.encoding));
    const std::string utf8 = charset::GbkToUtf8(decoded.text);
    std::fwrite(utf8.data(), 1, utf8.size(), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
}

const CliCommand kDecode("decode", "FILE [--encoding 0..4]  the detected encoding, then the text",
                         RunDecode);

}  // namespace
