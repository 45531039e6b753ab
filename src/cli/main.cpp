#include <CLI/CLI.hpp>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "cli/command.h"
#include "core/charset.h"
#include "core/platform/paths.h"

namespace {

// Every command node of the parser: its words and, for a command, its handler.
struct CommandTree {
    std::map<std::string, CLI::App*> byWords;
    std::map<const CLI::App*, std::string> words;
    std::map<const CLI::App*, CliHandler> handlers;
};

std::vector<std::string> SplitWords(const std::string& words) {
    std::vector<std::string> out;
    for (std::size_t start = 0;;) {
        const auto space = words.find(' ', start);
        out.push_back(words.substr(start, space - start));
        if (space == std::string::npos) return out;
        start = space + 1;
    }
}

void BuildCommands(CLI::App& root, CommandTree& tree) {
    tree.words[&root] = "";
    for (const auto& entry : CliCommands()) {
        CLI::App* parent = &root;
        std::string sofar;
        for (const auto& word : SplitWords(entry.words)) {
            sofar += sofar.empty() ? word : " " + word;
            auto& node = tree.byWords[sofar];
            if (!node) {
                node = parent->add_subcommand(word);
                // Options a command does not know go up to its parent, so --settings
                // may follow the command words and a stray argument reaches the root,
                // which reports it. At most one command per level: a later word that
                // names another command is an extra argument, not a second command.
                node->group("Commands");
                node->fallthrough();
                node->require_subcommand(0, 1);
                node->footer(
                    "--settings FILE may come before or after the command words; "
                    "see qingluan-cli --help.");
                tree.words[node] = sofar;
            }
            parent = node;
        }
        parent->description(entry.description);
        if (entry.setup) tree.handlers[parent] = entry.setup(*parent);
    }
}

// The innermost command the arguments chose; the root when none.
const CLI::App* ChosenCommand(const CLI::App& root) {
    const CLI::App* app = &root;
    while (!app->get_subcommands().empty()) app = app->get_subcommands().front();
    return app;
}

std::string HelpHint(const std::string& words) {
    return " (see qingluan-cli " + (words.empty() ? std::string() : words + " ") + "--help)";
}

// Arguments the parser could not place: an unknown command word, an unknown option or
// one argument too many.
int ReportExtras(const CLI::App& root, const CommandTree& tree) {
    const CLI::App* chosen = ChosenCommand(root);
    const std::string& words = tree.words.at(chosen);
    const std::vector<std::string> extras = root.remaining();
    const std::string first = extras.empty() ? std::string() : extras.front();
    if (first.size() > 1 && first[0] == '-')
        return CliFail((words.empty() ? "" : words + ": ") + "unknown option " + first +
                       HelpHint(words));
    if (!tree.handlers.count(chosen))
        return CliFail("unknown command: " + (words.empty() ? first : words + " " + first) +
                       HelpHint(words));
    return CliFail(words + ": unexpected argument " + first + HelpHint(words));
}

// The command words given without a command that runs: the group's choices.
int ReportIncomplete(const CLI::App& group, const CommandTree& tree) {
    const std::string& words = tree.words.at(&group);
    std::string choices;
    for (const CLI::App* sub : group.get_subcommands([](const CLI::App*) { return true; }))
        choices += (choices.empty() ? "" : ", ") + sub->get_name();
    return CliFail(words + " needs one of: " + choices + HelpHint(words));
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App root("Qingluan: the emlog sites of a settings file, and their articles.",
                  "qingluan-cli");
    root.set_version_flag("--version", "qingluan-cli " QINGLUAN_VERSION);
    root.require_subcommand(0, 1);
    root.get_formatter()->label("SUBCOMMAND", "COMMAND");
    std::string settings;
    root.add_option("--settings", settings,
                    "the settings file, and with it the data folder (default: "
                    "岚舟·青鸾助手.ini beside the program); before or after the command words")
        ->type_name("FILE");
    CommandTree tree;
    BuildCommands(root, tree);

    try {
        root.parse(argc, argv);
    } catch (const CLI::CallForHelp& e) {
        return root.exit(e);
    } catch (const CLI::CallForAllHelp& e) {
        return root.exit(e);
    } catch (const CLI::CallForVersion& e) {
        return root.exit(e);
    } catch (const CLI::ExtrasError&) {
        return ReportExtras(root, tree);
    } catch (const CLI::ParseError& e) {
        // A mistyped option also leaves a required one missing: name the cause.
        if (!root.remaining().empty()) return ReportExtras(root, tree);
        const std::string& words = tree.words.at(ChosenCommand(root));
        return CliFail((words.empty() ? "" : words + ": ") + e.what() + HelpHint(words));
    }

    const CLI::App* chosen = ChosenCommand(root);
    if (chosen == &root) {
        std::fputs(root.help().c_str(), stdout);
        return 2;
    }
    const auto handler = tree.handlers.find(chosen);
    if (handler == tree.handlers.end()) return ReportIncomplete(*chosen, tree);

    CliContext context;
    if (root.count("--settings") > 0) {
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
    return handler->second(context);
}
