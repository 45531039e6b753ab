#pragma once

#include <functional>
#include <string>
#include <vector>

// A subcommand of qingluan-cli. Each command file registers itself with a static
// CliCommand object, so commands are added without touching a central list.
struct CliContext {
    std::vector<std::string> args;  // arguments after the command words, UTF-8
    std::string settingsPath;       // GBK path of the settings file
};

using CliHandler = std::function<int(CliContext&)>;

class CliCommand {
public:
    // words: "sites list", "decode", …; usage: one line shown by --help.
    CliCommand(std::string words, std::string usage, CliHandler handler);
};

struct CliCommandEntry {
    std::string words;
    std::string usage;
    CliHandler handler;
};
const std::vector<CliCommandEntry>& CliCommands();

// Helpers shared by the commands: UTF-8 output of GBK text, and one-line errors.
void PrintGbkLine(const std::string& gbk);
int CliFail(const std::string& utf8Message);  // prints "qingluan-cli: message", returns 2

// Options: finds "--name VALUE" in args, removes both and returns the value.
bool TakeOption(std::vector<std::string>& args, const std::string& name, std::string& value);
bool TakeFlag(std::vector<std::string>& args, const std::string& name);
