#pragma once

#include <functional>
#include <string>
#include <vector>

namespace CLI {
class App;
}

// A subcommand of qingluan-cli. Each command file registers itself with a static
// CliCommand object, so commands are added without touching a central list.
struct CliContext {
    std::string settingsPath;  // GBK path of the settings file
};

using CliHandler = std::function<int(CliContext&)>;

// Declares the command's options and positionals on its CLI11 subcommand and returns
// the handler that runs on what was parsed into them.
using CliSetup = std::function<CliHandler(CLI::App&)>;

class CliCommand {
public:
    // words: "sites list", "decode", …, each word a nested subcommand; description: one
    // line for --help.
    CliCommand(std::string words, std::string description, CliSetup setup);
};

// The description of a word that only groups commands ("sites"), for --help.
class CliCommandGroup {
public:
    CliCommandGroup(std::string words, std::string description);
};

struct CliCommandEntry {
    std::string words;
    std::string description;
    CliSetup setup;  // empty for a group
};
// Commands and groups in the order of their words, so --help does not depend on the
// order the linker put the files in.
std::vector<CliCommandEntry> CliCommands();

// Helpers shared by the commands: UTF-8 output of GBK text, and one-line errors.
void PrintGbkLine(const std::string& gbk);
int CliFail(const std::string& utf8Message);  // prints "qingluan-cli: message", returns 2
