#include "app/file_filter.h"

#include <QStringList>

#include "app/qt_text.h"

namespace {

QStringList Patterns(const QString& list) {
    QStringList patterns;
    for (QString pattern : list.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        pattern = pattern.trimmed();
        if (pattern == QStringLiteral("*.*")) pattern = QStringLiteral("*");
        if (!pattern.isEmpty() && !patterns.contains(pattern)) patterns << pattern;
    }
    return patterns;
}

// A description written as patterns ("*.txt;*.txt") is what its entry shows.
bool LooksLikePatterns(const QString& text) {
    const QStringList parts = text.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    if (parts.isEmpty()) return false;
    for (const QString& part : parts)
        if (!part.trimmed().startsWith(QLatin1Char('*'))) return false;
    return true;
}

}  // namespace

QString QtFileFilter(const std::string& filter) {
    const QStringList parts = Q(filter).split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i < parts.size(); i += 2) {
        const QString description = parts[i].trimmed();
        if (description.isEmpty() && i + 1 >= parts.size()) break;
        QStringList patterns = Patterns(
            LooksLikePatterns(description) || i + 1 >= parts.size() ? description : parts[i + 1]);
        if (patterns.isEmpty()) patterns << QStringLiteral("*");
        filters << QStringLiteral("%1 (%2)").arg(description, patterns.join(QLatin1Char(' ')));
    }
    return filters.join(QStringLiteral(";;"));
}
