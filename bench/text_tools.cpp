// The text tools: ToPinyin with its phrase table on a 100 KB Chinese article (goal: under
// 20 ms), and 100,000 random hanzi groups (goal: under 1 s for `qingluan-cli random-text
// hanzi --groups 100000`), in the process and through the command line.

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "article/pinyin.h"
#include "bench_text.h"
#include "core/charset.h"
#include "tools/random_groups.h"

namespace {

// Lines of dictionary words with punctuation, digits and Latin words between them.
std::string Article(std::size_t bytes) {
    const std::vector<std::string_view> entries = WordListEntries();
    const std::vector<std::string> fillers = {charset::Utf8ToGbk("，"), charset::Utf8ToGbk("。"),
                                              charset::Utf8ToGbk("的"), " 2024 ", " emlog "};
    std::mt19937 gen(2026);
    std::string out;
    while (out.size() < bytes) {
        for (int i = 0; i < 30; ++i) {
            out += entries[gen() % entries.size()];
            if (gen() % 3 == 0) out += fillers[gen() % fillers.size()];
        }
        out += "\r\n";
    }
    out.resize(bytes & ~std::size_t{1});
    return out;
}

template <class F>
double Median(int runs, F&& f) {
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        f();
        ms.push_back(Ms(start));
    }
    std::sort(ms.begin(), ms.end());
    return ms[ms.size() / 2];
}

// Milliseconds of one run of the command line beside this program (build/src), output
// thrown away; negative when it is not there.
double CliMs(const std::string& args) {
    const auto cli = std::filesystem::read_symlink("/proc/self/exe").parent_path().parent_path() /
                     "src" / "qingluan-cli";
    if (!std::filesystem::exists(cli)) return -1;
    const std::string command = cli.string() + " " + args + " >/dev/null";
    return Median(5, [&] {
        if (std::system(command.c_str()) != 0)
            std::fprintf(stderr, "failed: %s\n", command.c_str());
    });
}

}  // namespace

int main() {
    const std::string article = Article(100 * 1024);
    std::string pinyin;
    const double first = Median(1, [&] { pinyin = ToPinyin(article, 2, false, " "); });
    const double pinyinMs = Median(30, [&] { pinyin = ToPinyin(article, 2, false, " "); });
    const double initialsMs = Median(30, [&] { pinyin = ToPinyin(article, 4, true, ""); });
    std::printf(
        "ToPinyin, 100 KB article, every syllable capitalised: %.2f ms (median of 30; "
        "first call with the phrase index built: %.2f ms; goal under 20 ms)\n",
        pinyinMs, first);
    std::printf("ToPinyin, same article, initials only: %.2f ms\n", initialsMs);

    std::string groups;
    const double hanziMs =
        Median(5, [&] { groups = RandomGroups(3, 5, 100000, HanziGroups(0, false)); });
    const double traditionalMs =
        Median(5, [&] { groups = RandomGroups(3, 5, 100000, HanziGroups(0, true)); });
    const double alnumMs = Median(
        5, [&] { groups = RandomGroups(3, 5, 100000, AlnumGroups(false, true, true, false)); });
    std::printf(
        "RandomGroups, 100,000 hanzi groups of 3 to 5: %.1f ms; traditional: %.1f ms; "
        "digits and letters: %.1f ms\n",
        hanziMs, traditionalMs, alnumMs);
    const double cliMs = CliMs("random-text hanzi --groups 100000");
    const double cliTraditionalMs = CliMs("random-text hanzi --groups 100000 --traditional");
    if (cliMs >= 0)
        std::printf(
            "qingluan-cli random-text hanzi --groups 100000: %.1f ms (goal under 1000 ms); "
            "with --traditional: %.1f ms\n",
            cliMs, cliTraditionalMs);
    else
        std::printf("qingluan-cli not built beside this program: no command-line figure\n");
    return 0;
}
