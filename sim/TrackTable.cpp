#include "TrackTable.h"

namespace {

struct Site {
    const char* prefix; // put before each configuration name, may be empty
    bool reversible;
    std::vector<const char*> configurations;
};

std::vector<SimTrack> buildTracks() {
    // Index in this list = the site byte; index in configurations = the configuration byte.
    const std::vector<Site> sites = {
        {"Blackwood ", true, {"GP Track", "Rallycross", "Car Park"}},
        {"South City ",
         true,
         {"Classic", "Sprint Track 1", "Sprint Track 2", "City Long", "Town Course",
          "Chicane Route"}},
        {"Fern Bay ", true, {"Club", "Green", "Gold", "Black", "Rallycross", "RallyX Green"}},
        {"", false, {"Autocross", "Skid Pad", "Drag Strip", "Eight Lane Drag"}},
        {"Kyoto Ring ", true, {"Oval", "National", "GP Long"}},
        {"Westhill ", true, {"National", "International"}},
        {"Aston ",
         true,
         {"Cadet", "Club", "National", "Historic", "Grand Prix", "Grand Touring", "North"}},
    };
    std::vector<SimTrack> tracks;
    for (std::size_t s = 0; s < sites.size(); ++s) {
        const Site& site = sites[s];
        for (std::size_t c = 0; c < site.configurations.size(); ++c) {
            const std::string name = std::string(site.prefix) + site.configurations[c];
            const auto siteByte = static_cast<std::uint8_t>(s);
            const auto configByte = static_cast<std::uint8_t>(c);
            tracks.push_back({{siteByte, configByte, 0}, name});
            // The car park is an open area: it has no direction to reverse.
            if (site.reversible && std::string_view(site.configurations[c]) != "Car Park")
                tracks.push_back({{siteByte, configByte, 1}, name + " Rev"});
        }
    }
    return tracks;
}

} // namespace

const std::vector<SimTrack>& KnownTracks() {
    static const std::vector<SimTrack> tracks = buildTracks();
    return tracks;
}

const std::vector<TrackKeyBytes>& UnknownTrackKeys() {
    static const std::vector<TrackKeyBytes> keys = {{9, 9, 0}, {7, 0, 0}, {2, 12, 1}};
    return keys;
}
