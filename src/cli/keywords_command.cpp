// qingluan-cli keywords FILE [--count N]: the keywords the segmenter takes from a file.

#include <CLI/CLI.hpp>
#include <cstdio>
#include <memory>
#include <string>

#include "article/text_decoding.h"
#include "article/word_segmenter.h"
#include "cli/command.h"
#include "core/charset.h"
#include "core/platform/files.h"

namespace {

// A whole positive decimal number.
bool ParseCount(const std::string& text, std::int32_t& count) {
    if (text.empty() || text.size() > 9 || text.find_first_not_of("0123456789") != text.npos)
        return false;
    count = static_cast<std::int32_t>(std::stol(text));
    return count > 0;
}

struct KeywordsOptions {
    std::string file;
    std::string count = "5";
};

int RunKeywords(const KeywordsOptions& options) {
    std::int32_t count = 0;
    if (!ParseCount(options.count, count))
        return CliFail("--count takes a whole number from 1 up, not \"" + options.count + "\"");
    const auto path = charset::Utf8ToGbkStrict(options.file);
    if (!path) return CliFail("the path has characters outside GBK: " + options.file);
    if (!platform::FileExists(*path))
        return CliFail("no such file, or not a regular file: " + options.file);
    const DecodedText decoded = ReadArticleText(*path, FileEncoding::Auto);
    PrintGbkLine(ExtractKeywords(decoded.text, count));
    return std::fflush(stdout) == 0 ? 0 : 1;
}

const CliCommand kKeywords(
    "keywords", "the most frequent words of an article file, as tags",
    [](CLI::App& app) -> CliHandler {
        auto options = std::make_shared<KeywordsOptions>();
        app.add_option("FILE", options->file, "the article file")->type_name("")->required();
        app.add_option("--count", options->count, "how many words, from 1 (default 5)")
            ->type_name("N");
        return [options](CliContext&) { return RunKeywords(*options); };
    });

}  // namespace
