// qingluan-cli random-text hanzi|alnum …: the random text generator's groups, one a line.

#include <CLI/CLI.hpp>
#include <charconv>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>

#include "cli/command.h"
#include "core/gbk_text.h"
#include "tools/random_groups.h"

namespace {

// Defaults as the generator window starts: 3 to 5 characters, 100 groups.
struct GroupOptions {
    std::string length = "3-5";
    std::int32_t groups = 100;
};

std::optional<std::int32_t> Number(std::string_view text) {
    std::int32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < 0) return std::nullopt;
    return value;
}

// "A-B" or "A": the bounds of a group's length.
std::optional<std::pair<std::int32_t, std::int32_t>> Lengths(const std::string& text) {
    const std::size_t dash = text.find('-');
    const auto from = Number(std::string_view(text).substr(0, dash));
    const auto to =
        dash == std::string::npos ? from : Number(std::string_view(text).substr(dash + 1));
    if (!from || !to) return std::nullopt;
    return std::make_pair(*from, *to);
}

int PrintGroups(const GroupOptions& options, const GroupMaker& maker) {
    const auto lengths = Lengths(options.length);
    if (!lengths)
        return CliFail(
            "--length takes A-B or A, whole numbers of 0 or more (0: 8 characters), not \"" +
            options.length + "\"");
    const std::string text = RandomGroups(lengths->first, lengths->second, options.groups, maker);
    if (!text.empty()) PrintGbkLine(gbk::ReplaceAll(text, "\r\n", "\n"));
    return std::fflush(stdout) == 0 ? 0 : 1;
}

void AddGroupOptions(CLI::App& app, GroupOptions& options) {
    app.add_option("--length", options.length,
                   "each group's length is drawn between A and B, both included (default 3-5; "
                   "0 gives 8)")
        ->type_name("A-B");
    app.add_option("--groups", options.groups, "number of groups, one a line (default 100)")
        ->type_name("N")
        ->check(CLI::NonNegativeNumber);
}

const CliCommandGroup kRandomText("random-text",
                                  "random strings, as the random text generator makes them");

struct HanziOptions : GroupOptions {
    std::int32_t table = 0;
    bool traditional = false;
};

const CliCommand kHanzi(
    "random-text hanzi", "groups of random common hanzi", [](CLI::App& app) -> CliHandler {
        auto options = std::make_shared<HanziOptions>();
        AddGroupOptions(app, *options);
        app.add_option("--table", options->table,
                       "0 the 498 most frequent characters (default), 1 the 2500 常用字, "
                       "2 the 1000 次常用字 of the 1988 list")
            ->type_name("0|1|2")
            ->check(CLI::Range(0, 2));
        app.add_flag("--traditional", options->traditional, "in traditional characters");
        return [options](CliContext&) {
            return PrintGroups(*options, HanziGroups(options->table, options->traditional));
        };
    });

struct AlnumOptions : GroupOptions {
    bool digits = false, lower = false, upper = false, fullWidth = false;
};

const CliCommand kAlnum("random-text alnum", "groups of random digits and letters",
                        [](CLI::App& app) -> CliHandler {
                            auto options = std::make_shared<AlnumOptions>();
                            AddGroupOptions(app, *options);
                            app.add_flag("--digits", options->digits, "with digits");
                            app.add_flag("--lower", options->lower, "with lower-case letters");
                            app.add_flag("--upper", options->upper, "with upper-case letters");
                            app.add_flag("--full-width", options->fullWidth, "in full-width forms");
                            return [options](CliContext&) {
                                // None chosen: the window's defaults, lower- and upper-case
                                // letters.
                                const bool any =
                                    options->digits || options->lower || options->upper;
                                return PrintGroups(
                                    *options,
                                    AlnumGroups(options->digits, any ? options->lower : true,
                                                any ? options->upper : true, options->fullWidth));
                            };
                        });

}  // namespace
