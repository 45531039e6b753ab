#pragma once

#include <QString>
#include <string>

// The widgets' edge of the in-system GBK text.

// GBK (GB18030 four-byte sequences included) to QString; invalid bytes become U+FFFD.
QString Q(const std::string& gbk);

// QString to GBK; a character GBK has no form for becomes '?', one per character.
std::string G(const QString& text);
