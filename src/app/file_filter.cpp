#include "app/file_filter.h"

#include <QStringList>

#include "app/qt_text.h"

QString QtFileFilter(const std::string& filter) {
    const QStringList parts = Q(filter).split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns;
        for (QString pattern : parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            pattern = pattern.trimmed();
            if (pattern == QStringLiteral("*.*")) pattern = QStringLiteral("*");
            if (!patterns.contains(pattern)) patterns << pattern;
        }
        if (patterns.isEmpty()) patterns << QStringLiteral("*");
        filters << QStringLiteral("%1 (%2)").arg(parts[i].trimmed(), patterns.join(QLatin1Char(' ')));
    }
    return filters.join(QStringLiteral(";;"));
}
