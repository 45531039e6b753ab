#include "tools/tool_texts.h"

#include "core/gbk_literal.h"

const std::string& ToolText(const char* utf8) {
    return GbkLiteral(utf8);
}
