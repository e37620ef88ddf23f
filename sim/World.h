#pragma once

#include "Random.h"
#include "TrackTable.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

inline constexpr std::size_t HostNameSize = 32;
inline constexpr std::size_t HostFixedSize = 53;
inline constexpr std::size_t RacerNameSize = 24;

struct SimHost {
    std::string name; // raw, colour codes included
    std::uint8_t versionType = 2;
    std::array<std::uint8_t, 3> versionDetail{};
    TrackKeyBytes track{};
    std::uint8_t maxPlayers = 0;
    std::uint32_t carMask = 0;
    std::array<std::uint8_t, 4> rules{};
    std::uint8_t laps = 0;
    std::uint8_t qualifying = 0;
    std::vector<std::size_t> racers; // indices into the world's racer names
    int target = 0;                  // the occupancy the host drifts towards
    bool busy = false;               // a popular host that tends to run above 23 racers

    bool isPrivate() const { return (rules[0] & 8) != 0; }
    bool isListedVersion() const { return versionType == 1 || versionType == 2; }
};

// One packed host entry: fixed 53 bytes, then the racer names, 24 bytes each.
std::string EncodeHostEntry(const SimHost& host, const std::vector<std::string>& racerNames);

// A host with 255 racers, used to blow a reply up beyond any sane size.
std::string PaddingHostEntry();

// The simulated online world. A seed gives the same sequence of states every run;
// advance() moves to the next one: racers come and go, hosts empty and fill up, and
// the demo roster's mates drift on and off line.
class World {
public:
    World(std::size_t hostCount, std::uint64_t seed);

    std::string hostList() const;
    void advance();

    // A named racer outside the drift, seated on the first open public host (or the
    // nth, counted from 0, when there are that many) until sent away or seated again:
    // tests and demos bring a mate online, or move him, at a moment of their choosing.
    void seatGuest(const std::string& name, std::size_t nth = 0);
    void unseatGuest(const std::string& name);
    // A public host outside the drift, listed after the others with `players` of its
    // `limit` slots taken until staged again or unstaged: tests and demos fill and free
    // a host at a moment of their choosing.
    void stageHost(const std::string& name, std::uint8_t limit, std::uint8_t players);
    void unstageHost(const std::string& name);

    const std::vector<SimHost>& hosts() const { return m_hosts; }
    const std::string& racerName(std::size_t index) const { return m_racerNames[index]; }

private:
    int capacity(std::size_t host) const;
    void seat(std::size_t racer, std::size_t host);
    void unseat(std::size_t racer);
    void driftTarget(SimHost& host, int capacity);
    void settleRegulars(std::size_t host);
    void moveMates();
    void placeMate(std::size_t mate, bool (*fits)(const SimHost&));
    std::size_t takeIdleRacer();

    Random m_random;
    std::vector<SimHost> m_hosts;
    std::vector<std::string> m_racerNames; // the demo mates first, then everybody else
    std::size_t m_mateCount = 0;
    std::size_t m_privateMate = 0;
    std::size_t m_hiddenMate = 0;
    std::vector<long> m_seat;        // host index of each racer, -1 when off line
    std::vector<std::size_t> m_idle; // regular racers off line
    std::vector<int> m_offlineFor;   // steps each mate has been away
    std::vector<std::pair<std::string, std::size_t>> m_guests; // name, host index
    std::vector<SimHost> m_staged; // racers: their count only, named by their slot
};
