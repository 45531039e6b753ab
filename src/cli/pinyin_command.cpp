// qingluan-cli pinyin [--case 1..4] [--initials] [--sep TEXT] TEXT: the pinyin of a text.

#include <cstdio>
#include <string>

#include "article/pinyin.h"
#include "cli/command.h"
#include "core/charset.h"

namespace {

int RunPinyin(CliContext& context) {
    auto& args = context.args;
    // Defaults as the pinyin converter window starts: every syllable capitalised,
    // syllables separated by one space.
    std::int32_t caseMode = static_cast<std::int32_t>(PinyinCase::EverySyllable);
    std::string value;
    if (TakeOption(args, "--case", value)) {
        if (value.size() != 1 || value[0] < '1' || value[0] > '4')
            return CliFail(
                "--case takes 1 (first syllable capitalised), 2 (every syllable), "
                "3 (upper case) or 4 (lower case), not \"" +
                value + "\"");
        caseMode = value[0] - '0';
    }
    std::string separator = " ";
    if (TakeOption(args, "--sep", value)) separator = value;
    const bool initials = TakeFlag(args, "--initials");
    if (args.size() != 1 || args[0].rfind("--", 0) == 0)
        return CliFail("usage: pinyin [--case 1..4] [--initials] [--sep TEXT] TEXT");
    const auto text = charset::Utf8ToGbkStrict(args[0]);
    if (!text) return CliFail("the text is not UTF-8 or has characters outside GBK");
    const auto sep = charset::Utf8ToGbkStrict(separator);
    if (!sep) return CliFail("the separator is not UTF-8 or has characters outside GBK");
    PrintGbkLine(ToPinyin(*text, caseMode, initials, *sep));
    return std::fflush(stdout) == 0 ? 0 : 1;
}

const CliCommand kPinyin("pinyin", "[--case 1..4] [--initials] [--sep TEXT] TEXT  ToPinyin",
                         RunPinyin);

}  // namespace
