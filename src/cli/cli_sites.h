#pragma once

#include <cstddef>
#include <string>

#include "cli/command.h"
#include "settings/site_config.h"

// The site records of the settings file, as the commands read them: read-only, and a
// missing file is an error (one line on stderr), never an empty file created.
bool LoadSiteList(const CliContext& context, SiteList& sites, int& exitCode);

// A site number: decimal digits only, 1 or more.
bool ParseSiteNumber(const std::string& text, std::size_t& n);

// Site `number` (from 1) of the settings file; false with exitCode set after the error line.
bool LoadSiteNumber(const CliContext& context, const std::string& number, SiteConfig& site,
                    int& exitCode);
