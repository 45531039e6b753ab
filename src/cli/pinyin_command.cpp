// qingluan-cli pinyin [--case 1..4] [--initials] [--sep TEXT] TEXT: the pinyin of a text.

#include <CLI/CLI.hpp>
#include <cstdio>
#include <memory>
#include <string>

#include "article/pinyin.h"
#include "cli/command.h"
#include "core/charset.h"

namespace {

// Defaults as the pinyin converter window starts: every syllable capitalised,
// syllables separated by one space.
struct PinyinOptions {
    std::string text;
    std::string caseMode = "2";
    std::string separator = " ";
    bool initials = false;
};

int RunPinyin(const PinyinOptions& options) {
    const std::string& value = options.caseMode;
    if (value.size() != 1 || value[0] < '1' || value[0] > '4')
        return CliFail(
            "--case takes 1 (first syllable capitalised), 2 (every syllable), "
            "3 (upper case) or 4 (lower case), not \"" +
            value + "\"");
    const std::int32_t caseMode = value[0] - '0';
    const auto text = charset::Utf8ToGbkStrict(options.text);
    if (!text) return CliFail("the text is not UTF-8 or has characters outside GBK");
    const auto sep = charset::Utf8ToGbkStrict(options.separator);
    if (!sep) return CliFail("the separator is not UTF-8 or has characters outside GBK");
    PrintGbkLine(ToPinyin(*text, caseMode, options.initials, *sep));
    return std::fflush(stdout) == 0 ? 0 : 1;
}

const CliCommand kPinyin(
    "pinyin", "the pinyin of a text, as the pinyin converter window gives it",
    [](CLI::App& app) -> CliHandler {
        auto options = std::make_shared<PinyinOptions>();
        app.add_option("TEXT", options->text, "the text, UTF-8")->type_name("")->required();
        app.add_option("--case", options->caseMode,
                       "1 (first syllable capitalised), 2 (every syllable, the default), "
                       "3 (upper case) or 4 (lower case)")
            ->type_name("1..4");
        app.add_flag("--initials", options->initials, "only the first letter of each syllable");
        app.add_option("--sep", options->separator,
                       "put between syllables (default one space; may be empty)")
            ->type_name("TEXT");
        return [options](CliContext&) { return RunPinyin(*options); };
    });

}  // namespace
