#include "DemoRoster.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>

namespace {

// Latin-1 bytes spelt out, so the source stays plain ASCII (octal where a letter
// follows that would extend a hex escape).
const std::vector<DemoGroup> groups = {
    {"Friends",
     {
         {"Lukas Brenner", "Luke", "Brenner Bros", "https://example.com/~lukas"},
         {"mika_h", "", "", ""},
         {"J\xF6rg Fa\xDF"
          "bender",
          "The Professor", "[TEAM]", ""},
         {"Tessa Vrolijk", "", "Orange Arrow RT", "[HOMEPAGE]"},
         {"Nadia Okafor", "Nadia (sister)", "", ""},
     }},
    {"League Team",
     {
         {"RoadRunner77", "Captain", "Northern Lights RT", "https://example.com/nlrt"},
         {"Lukas Brenner", "", "Northern Lights RT", ""},
         {"Pia Lindqvist", "Pia", "Northern Lights RT", ""},
         {"apex_hunter", "", "Northern Lights RT", ""},
         {"Sami Nyk\xE4nen", "Reserve driver", "", ""},
     }},
    {"Rivals",
     {
         {"Dan Whitfield", "", "Redline Racing", "https://example.com/redline"},
         {"S\xF8ren Holm", "Late braker", "", ""},
         {"GhostLap", "", "", ""},
         {"Marco Ventura", "", "Scuderia Nove", ""},
     }},
    {"Work",
     {
         {"ole.b", "Ole from accounting", "", ""},
         {"Chris P", "", "", ""},
         {"Hannah K\xF6hler", "Hannah", "", "https://example.com/hannah"},
     }},
    {"New Group", {}},
};

void putField(std::string& record, std::size_t offset, std::size_t size, const std::string& text) {
    const std::size_t length = std::min(size, text.size());
    record[offset] = static_cast<char>(length);
    std::copy_n(text.begin(), length, record.begin() + static_cast<std::ptrdiff_t>(offset + 1));
}

} // namespace

const std::vector<DemoGroup>& DemoGroups() {
    return groups;
}

std::vector<std::string> DemoRacerNames() {
    std::vector<std::string> names;
    std::set<std::string> seen;
    for (const DemoGroup& group : groups)
        for (const DemoMate& mate : group.mates)
            if (seen.insert(mate.lfsName).second)
                names.push_back(mate.lfsName);
    return names;
}

const std::string& DemoPrivateRacer() {
    return groups[1].mates[0].lfsName;
}
const std::string& DemoHiddenRacer() {
    return groups[2].mates[2].lfsName;
}

std::string MateRecord(const DemoMate& mate) {
    std::string record(MateRecordSize, '\0');
    putField(record, 0, 24, mate.lfsName);
    putField(record, 25, 50, mate.nick);
    putField(record, 76, 50, mate.team);
    putField(record, 127, 255, mate.homepage);
    return record;
}

std::string WriteDemoRoster(const std::string& dir) {
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    if (ec)
        return "cannot create " + dir + ": " + ec.message();
    for (const DemoGroup& group : groups) {
        const std::string path = dir + "/" + group.name + ".profile";
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        for (const DemoMate& mate : group.mates)
            out << MateRecord(mate);
        out.close();
        if (!out)
            return "cannot write " + path;
    }
    return {};
}
