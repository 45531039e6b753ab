#pragma once

// Runs the built qingluan-cli as a user runs it, with its output captured in files of a
// test's own folder.

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

struct CliResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};

inline std::string ShellQuote(const std::string& arg) {
    std::string out = "'";
    for (char c : arg) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

inline std::string ReadAll(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// qingluan-cli <args…> as given; stdout and stderr land in workDir. With `input`, stdin
// reads it (from a file in workDir).
inline CliResult RunCliArgs(const std::filesystem::path& workDir,
                            const std::vector<std::string>& args,
                            const std::string* input = nullptr) {
    std::string command = ShellQuote(QINGLUAN_BINARY_DIR "/src/qingluan-cli");
    for (const auto& arg : args) command += " " + ShellQuote(arg);
    if (input) {
        const auto inPath = workDir / "stdin";
        std::ofstream(inPath, std::ios::binary) << *input;
        command += " <" + ShellQuote(inPath.string());
    }
    const auto outPath = workDir / "stdout";
    const auto errPath = workDir / "stderr";
    command += " >" + ShellQuote(outPath.string()) + " 2>" + ShellQuote(errPath.string());
    const int status = std::system(command.c_str());
    CliResult result;
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.out = ReadAll(outPath);
    result.err = ReadAll(errPath);
    return result;
}

// qingluan-cli --settings <settings> <args…>; stdout and stderr land in workDir.
inline CliResult RunCli(const std::filesystem::path& workDir, const std::filesystem::path& settings,
                        const std::vector<std::string>& args, const std::string* input = nullptr) {
    std::vector<std::string> all = {"--settings", settings.string()};
    all.insert(all.end(), args.begin(), args.end());
    return RunCliArgs(workDir, all, input);
}
