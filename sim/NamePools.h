#pragma once

#include <string>
#include <vector>

// Raw host names (caret colour codes included), at most 31 bytes each, unique.
std::vector<std::string> HostNames(std::size_t count);

// At least `count` distinct racer names of at most 24 Latin-1 bytes, none of them
// in `exclude`. Some carry blanks inside or at the end, as players type them.
std::vector<std::string> RacerNames(std::size_t count, const std::vector<std::string>& exclude);
