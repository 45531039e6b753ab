// qingluan-cli decode FILE [--encoding 0..4]: how an article file decodes.

#include <CLI/CLI.hpp>
#include <cstdio>
#include <memory>
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

struct DecodeOptions {
    std::string file;
    std::string encoding = "0";
};

int RunDecode(const DecodeOptions& options) {
    FileEncoding encoding = FileEncoding::Auto;
    if (!ParseEncoding(options.encoding, encoding))
        return CliFail(
            "--encoding takes 0 (auto), 1 (GBK), 2 (UTF-8), 3 (UTF-16LE) or "
            "4 (UTF-16BE), not \"" +
            options.encoding + "\"");
    const auto path = charset::Utf8ToGbkStrict(options.file);
    if (!path) return CliFail("the path has characters outside GBK: " + options.file);
    if (!platform::FileExists(*path))
        return CliFail("no such file, or not a regular file: " + options.file);
    const DecodedText decoded = ReadArticleText(*path, encoding);
    if (decoded.text.empty() && !platform::ReadWholeFile(*path, kMaxArticleFileBytes))
        return CliFail("cannot read the file: " + options.file);
    std::printf("%d\n", static_cast<int>(decoded.encoding));
    const std::string utf8 = charset::GbkToUtf8(decoded.text);
    std::fwrite(utf8.data(), 1, utf8.size(), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
}

const CliCommand kDecode(
    "decode", "the encoding an article file is read with (a number), then its text",
    [](CLI::App& app) -> CliHandler {
        auto options = std::make_shared<DecodeOptions>();
        app.add_option("FILE", options->file, "the article file")->type_name("")->required();
        app.add_option("--encoding", options->encoding,
                       "0 (auto, the default), 1 (GBK), 2 (UTF-8), 3 (UTF-16LE) or "
                       "4 (UTF-16BE), as 文件编码")
            ->type_name("0..4");
        return [options](CliContext&) { return RunDecode(*options); };
    });

}  // namespace
