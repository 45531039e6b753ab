// qingluan-cli keywords FILE [--count N]: the keywords the segmenter takes from a file.

#include <cstdio>
#include <string>

#include "article/text_decoding.h"
#include "article/word_segmenter.h"
#include "cli/command.h"
#include "core/charset.h"
#include "core/platform/files.h"

namespace {

constexpr std::int32_t kDefaultCount = 5;

// A whole positive decimal number.
bool ParseCount(const std::string& text, std::int32_t& count) {
    if (text.empty() || text.size() > 9 || text.find_first_not_of("0123456789") != text.npos)
        return false;
    count = static_cast<std::int32_t>(std::stol(text));
    return count > 0;
}

int RunKeywords(CliContext& context) {
    auto& args = context.args;
    std::int32_t count = kDefaultCount;
    std::string value;
    if (TakeOption(args, "--count", value) && !ParseCount(value, count))
        return CliFail("--count takes a whole number from 1 up, not \"" + value + "\"");
    if (args.size() != 1 || args[0].rfind("--", 0) == 0)
        return CliFail("usage: keywords FILE [--count N]");
    const auto path = charset::Utf8ToGbkStrict(args[0]);
    if (!path) return CliFail("the path has characters outside GBK: " + args[0]);
    if (!platform::FileExists(*path))
        return CliFail("no such file, or not a regular file: " + args[0]);
    const DecodedText decoded = ReadArticleText(*path, FileEncoding::Auto);
    PrintGbkLine(ExtractKeywords(decoded.text, count));
    return std::fflush(stdout) == 0 ? 0 : 1;
}

const CliCommand kKeywords("keywords", "FILE [--count N]  the N (default 5) most frequent words",
                           RunKeywords);

}  // namespace
