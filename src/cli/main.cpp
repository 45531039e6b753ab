#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "cli/command.h"
#include "core/charset.h"
#include "core/platform/paths.h"

namespace {

void PrintHelp() {
    std::printf("usage: qingluan-cli [--settings FILE] COMMAND ...\n\ncommands:\n");
    for (const auto& command : CliCommands())
        std::printf("  %s %s\n", command.words.c_str(), command.usage.c_str());
    std::printf(
        "\n--settings FILE  the settings file, and with it the data folder\n"
        "                 (default: 岚舟·青鸾助手.ini beside the program)\n");
}

// The longest registered command whose words start the arguments.
const CliCommandEntry* FindCommand(const std::vector<std::string>& args, std::size_t& used) {
    const CliCommandEntry* best = nullptr;
    for (const auto& command : CliCommands()) {
        std::vector<std::string> words;
        for (std::size_t start = 0;;) {
            const auto space = command.words.find(' ', start);
            words.push_back(command.words.substr(start, space - start));
            if (space == std::string::npos) break;
            start = space + 1;
        }
        if (words.size() > args.size()) continue;
        if (!std::equal(words.begin(), words.end(), args.begin())) continue;
        if (!best || words.size() > used) {
            best = &command;
            used = words.size();
        }
    }
    return best;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty() || args[0] == "--help" || args[0] == "-h") {
        PrintHelp();
        return args.empty() ? 2 : 0;
    }
    CliContext context;
    std::string settings;
    if (TakeOption(args, "--settings", settings)) {
        const auto gbk = charset::Utf8ToGbkStrict(settings);
        if (!gbk) return CliFail("the settings path has characters outside GBK: " + settings);
        context.settingsPath = *gbk;
        platform::SetDataFolder(
            platform::ParentFolder(*gbk).empty() ? std::string(".") : platform::ParentFolder(*gbk));
    } else {
        // "岚舟·青鸾助手.ini" beside the executable
        context.settingsPath =
            platform::JoinPath(platform::ProgramFolder(), charset::Utf8ToGbk("岚舟·青鸾助手.ini"));
    }
    std::size_t used = 0;
    const CliCommandEntry* command = FindCommand(args, used);
    if (!command) return CliFail("unknown command: " + args[0] + " (see --help)");
    context.args.assign(args.begin() + static_cast<std::ptrdiff_t>(used), args.end());
    return command->handler(context);
}
