#include "cli/command.h"

#include <algorithm>
#include <cstdio>

#include "core/charset.h"

namespace {
std::vector<CliCommandEntry>& Registry() {
    static std::vector<CliCommandEntry> commands;
    return commands;
}
}  // namespace

CliCommand::CliCommand(std::string words, std::string description, CliSetup setup) {
    Registry().push_back({std::move(words), std::move(description), std::move(setup)});
}

CliCommandGroup::CliCommandGroup(std::string words, std::string description) {
    Registry().push_back({std::move(words), std::move(description), {}});
}

std::vector<CliCommandEntry> CliCommands() {
    std::vector<CliCommandEntry> commands = Registry();
    std::stable_sort(commands.begin(), commands.end(),
                     [](const auto& a, const auto& b) { return a.words < b.words; });
    return commands;
}

void PrintGbkLine(const std::string& gbk) {
    const std::string utf8 = charset::GbkToUtf8(gbk);
    std::fwrite(utf8.data(), 1, utf8.size(), stdout);
    std::fputc('\n', stdout);
}

int CliFail(const std::string& utf8Message) {
    std::fprintf(stderr, "qingluan-cli: %s\n", utf8Message.c_str());
    return 2;
}
