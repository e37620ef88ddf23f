#pragma once

#include <optional>
#include <string>
#include <vector>

// Names of the highlight files the service has: the all-countries file and a few
// countries, blanks in country names written as "_".
std::vector<std::string> HighlightFileNames();

// The text of a highlight file: tagged lines ending in CRLF. Nothing for a country
// without a file.
std::optional<std::string> HighlightFile(const std::string& fileName);
