#pragma once

// KEY=VALUE arguments of the commands that change the settings: keys as they are
// stored, values checked by their type before anything is loaded or written.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "settings/site_editor.h"

// The argument split at its first "=" and converted to GBK; false with a UTF-8 reason.
bool SplitKeyValue(const std::string& utf8Arg, std::string& gbkKey, std::string& gbkValue,
                   std::string& error);

// GBK text in double quotes for an error line, its line breaks shown as \r and \n.
std::string Quoted(std::string_view gbk);

// Value checks; each takes GBK text.
// 真/假 or true/false (any letter case).
std::optional<bool> ParseLogical(std::string_view text);
// Optional sign and decimal digits, within 32 bits.
bool IsWholeNumber(std::string_view text);
// A finite decimal number such as 0.5, -2 or 1e-3 (within float range when asked).
bool IsRealNumber(std::string_view text, bool singlePrecision);
// A drop-down item by its index or its caption (ASCII letters in any case).
std::optional<std::int32_t> ParseChoice(std::string_view text,
                                        const std::vector<std::string>& captions);
// Tag lines: a literal \n, "|" or a real line break between lines; CR LF in the result.
std::string TagLines(std::string_view text);

// One site key typed into the editor's controls.
struct SiteControlEdit {
    const SiteKeyControl* key = nullptr;
    std::string text;  // text boxes and the tag button
    std::int32_t index = 0;
    bool checked = false;
};

// "KEY=VALUE" for a site key; false with a UTF-8 reason that names the allowed keys or
// values.
bool ParseSiteEdit(const std::string& utf8Arg, SiteControlEdit& edit, std::string& error);

// Puts the value into its control as typing or choosing it in the window would.
void ApplySiteEdit(const SiteControlEdit& edit, SiteEditorView& view);

// The help text that lists the site keys and what they take (UTF-8).
std::string SiteKeysHelp();
