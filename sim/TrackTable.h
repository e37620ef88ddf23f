#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

using TrackKeyBytes = std::array<std::uint8_t, 3>;

struct SimTrack {
    TrackKeyBytes key; // site, configuration, 0 forward / 1 reversed
    std::string name;
};

// The tracks that data/Tracks.data names, forward and reversed.
const std::vector<SimTrack>& KnownTracks();

// Keys that Tracks.data deliberately lacks, so that the program shows "n/a".
const std::vector<TrackKeyBytes>& UnknownTrackKeys();
