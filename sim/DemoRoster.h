#pragma once

#include <string>
#include <vector>

struct DemoMate {
    std::string lfsName;
    std::string nick;
    std::string team;
    std::string homepage;
};

struct DemoGroup {
    std::string name;
    std::vector<DemoMate> mates;
};

inline constexpr std::size_t MateRecordSize = 383;

const std::vector<DemoGroup>& DemoGroups();

// Every LFS name of the demo roster once, in roster order.
std::vector<std::string> DemoRacerNames();
// The mate the world always seats on a private host.
const std::string& DemoPrivateRacer();
// The mate the world always seats on a host that the server list leaves out.
const std::string& DemoHiddenRacer();

// The 383-byte profile record: four length-prefixed fields, zero filler.
std::string MateRecord(const DemoMate& mate);

// Writes "<group>.profile" for every demo group into dir, creating dir when needed.
// Returns an empty text on success, otherwise what went wrong.
std::string WriteDemoRoster(const std::string& dir);
