#pragma once

#include <string>

// A UTF-8 literal of the program's source as GBK, converted once. The reference stays
// valid for the whole program, also while later literals are added (several are often
// used in one expression). Thread-safe.
const std::string& GbkLiteral(const char* utf8);
