#pragma once

#include <QString>
#include <string>

// A file dialog's filter as the program writes it, pairs of description and patterns
// separated by "|" ("配置文件|*.ini|全部文件|*.*"; GBK), as a Qt name filter
// ("配置文件 (*.ini);;全部文件 (*)"). "*.*" means every file, as on Windows, also for names
// without a dot; ";" separates patterns.
QString QtFileFilter(const std::string& filter);
