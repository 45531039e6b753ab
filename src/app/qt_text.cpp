#include "app/qt_text.h"

#include <QList>

#include "core/charset.h"

QString Q(const std::string& gbk) {
    return QString::fromStdString(charset::GbkToUtf8(gbk));
}

namespace {

// Only reached for a line that has a character without a GBK form, so the per-character
// conversion does not slow down ordinary text.
std::string LineToGbk(const QString& line) {
    const QByteArray utf8 = line.toUtf8();
    if (auto strict = charset::Utf8ToGbkStrict(std::string_view(utf8.data(), utf8.size())))
        return *strict;
    std::string out;
    out.reserve(static_cast<std::size_t>(line.size()) * 2);
    for (const uint cp : line.toUcs4())
        out += charset::CodePointToGbk(static_cast<char32_t>(cp), "?");
    return out;
}

}  // namespace

std::string G(const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    if (auto strict = charset::Utf8ToGbkStrict(std::string_view(utf8.data(), utf8.size())))
        return *strict;
    std::string out;
    out.reserve(static_cast<std::size_t>(utf8.size()));
    qsizetype start = 0;
    while (start <= text.size()) {
        qsizetype end = text.indexOf(u'\n', start);
        if (end < 0) end = text.size();
        out += LineToGbk(text.mid(start, end - start));
        if (end < text.size()) out += '\n';
        start = end + 1;
    }
    return out;
}
