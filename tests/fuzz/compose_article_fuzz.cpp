// An article file composed under a site's options: its encoding setting, first line as
// title, paragraph tags and category list, with the file name giving the title and its
// "[#n#]" category marker. Input: flags byte, then file bytes, file name and 分类ID.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "article/compose_article.h"
#include "core/platform/paths.h"
#include "fuzz_input.h"

namespace {

// The name as one path component the file system takes.
std::string FileName(std::string_view part) {
    std::string name = "a" + std::string(part.substr(0, 100));
    for (char& c : name)
        if (c == '/' || c == '\0') c = '_';
    return name;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const fuzz::Flagged input = fuzz::TakeFlags(fuzz::AsView(data, size));
    const auto parts = fuzz::SplitParts(input.rest, 3);

    const std::string folder = fuzz::ScratchFolder() + "/articles";
    std::error_code ec;
    std::filesystem::remove_all(folder, ec);
    std::filesystem::create_directories(folder, ec);
    const std::string path = folder + "/" + FileName(parts[1]);
    {
        // The program opens the GBK path by its native (UTF-8) form; write it there.
        std::ofstream out(platform::NativePath(path), std::ios::binary);
        out.write(parts[0].data(), static_cast<std::streamsize>(parts[0].size()));
    }

    SiteConfig site;
    const int encoding = input.flags & 7;
    site.文件编码 = encoding == 7 ? -1 : encoding;
    site.首行标题 = input.Bit(3);
    site.段落标签 = input.Bit(4);
    site.分类ID = std::string(parts[2]);
    PrepareCategoryList(site);

    const auto article = ComposeArticle(path, site);
    if (article) {
        fuzz::Check(article->category == site.prep.chosenCategory,
                    "the chosen category is kept on the site");
        // Taking the title or dropping blank lines may leave nothing; else text is a body.
        fuzz::Check(!article->body.empty() || site.首行标题 || site.段落标签,
                    "a file with text gives a body");
    }
    (void)ComposeArticle(path, site);  // the next draw of the category list
    return 0;
}
