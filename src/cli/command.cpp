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

CliCommand::CliCommand(std::string words, std::string usage, CliHandler handler) {
    Registry().push_back({std::move(words), std::move(usage), std::move(handler)});
}

const std::vector<CliCommandEntry>& CliCommands() {
    return Registry();
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

bool TakeOption(std::vector<std::string>& args, const std::string& name, std::string& value) {
    const auto it = std::find(args.begin(), args.end(), name);
    if (it == args.end() || it + 1 == args.end()) return false;
    value = *(it + 1);
    args.erase(it, it + 2);
    return true;
}

bool TakeFlag(std::vector<std::string>& args, const std::string& name) {
    const auto it = std::find(args.begin(), args.end(), name);
    if (it == args.end()) return false;
    args.erase(it);
    return true;
}
