#pragma once

#include <string>
#include <string_view>

// Simplified to traditional Chinese characters (OpenCC's s2t, one converter for the
// program, safe to call from any thread). A character whose traditional form GBK lacks
// stays as it is; so does the whole text when OpenCC or its data cannot be loaded.
std::string SimplifiedToTraditional(std::string_view gbk);
