// qingluan-cli pinyin [--case 1..4] [--initials] [--sep TEXT]
//                     [--clean [--keep-spaces] [--keep-newlines]] [TEXT]
// The pinyin of a text (the argument, else standard input), with the pinyin converter's
// clean-up that keeps only ASCII letters.

#include <CLI/CLI.hpp>
#include <cstdio>
#include <iostream>
#include <iterator>
#include <memory>
#include <optional>
#include <string>

#include "article/pinyin.h"
#include "cli/command.h"
#include "core/charset.h"
#include "tools/pinyin_converter.h"

namespace {

// Defaults as the pinyin converter window starts: every syllable capitalised,
// syllables separated by one space.
struct PinyinOptions {
    std::optional<std::string> text;
    std::string caseMode = "2";
    std::string separator = " ";
    bool initials = false;
    bool clean = false;
    bool keepSpaces = false;
    bool keepNewlines = false;
};

// Standard input without its final line end: that ends the last line, it is no empty
// line of its own.
std::string ReadInput() {
    std::string text((std::istreambuf_iterator<char>(std::cin)), std::istreambuf_iterator<char>());
    if (!text.empty() && text.back() == '\n') text.pop_back();
    if (!text.empty() && text.back() == '\r') text.pop_back();
    return text;
}

int RunPinyin(const PinyinOptions& options) {
    const std::string& value = options.caseMode;
    if (value.size() != 1 || value[0] < '1' || value[0] > '4')
        return CliFail(
            "--case takes 1 (first syllable capitalised), 2 (every syllable), "
            "3 (upper case) or 4 (lower case), not \"" +
            value + "\"");
    if ((options.keepSpaces || options.keepNewlines) && !options.clean)
        return CliFail("--keep-spaces and --keep-newlines go with --clean");
    const std::int32_t caseMode = value[0] - '0';
    const auto text = charset::Utf8ToGbkStrict(options.text ? *options.text : ReadInput());
    if (!text) return CliFail("the text is not UTF-8 or has characters outside GBK");
    const auto sep = charset::Utf8ToGbkStrict(options.separator);
    if (!sep) return CliFail("the separator is not UTF-8 or has characters outside GBK");
    std::string result = ToPinyin(*text, caseMode, options.initials, *sep);
    if (options.clean) result = KeepOnlyLetters(result, options.keepSpaces, options.keepNewlines);
    PrintGbkLine(result);
    return std::fflush(stdout) == 0 ? 0 : 1;
}

const CliCommand kPinyin(
    "pinyin", "the pinyin of a text, as the pinyin converter window gives it",
    [](CLI::App& app) -> CliHandler {
        auto options = std::make_shared<PinyinOptions>();
        app.add_option("TEXT", options->text, "the text, UTF-8 (default: standard input)")
            ->type_name("");
        app.add_option("--case", options->caseMode,
                       "1 (first syllable capitalised), 2 (every syllable, the default), "
                       "3 (upper case) or 4 (lower case)")
            ->type_name("1..4");
        app.add_flag("--initials", options->initials, "only the first letter of each syllable");
        app.add_option("--sep", options->separator,
                       "put between syllables (default one space; may be empty)")
            ->type_name("TEXT");
        app.add_flag("--clean", options->clean,
                     "then remove every character that is not an ASCII letter");
        app.add_flag("--keep-spaces", options->keepSpaces, "with --clean: keep spaces");
        app.add_flag("--keep-newlines", options->keepNewlines,
                     "with --clean: keep line breaks (CR and LF)");
        return [options](CliContext&) { return RunPinyin(*options); };
    });

}  // namespace
