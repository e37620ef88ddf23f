#include "World.h"

#include "DemoRoster.h"
#include "NamePools.h"

#include <algorithm>

namespace {

constexpr std::uint32_t AllCars = 0x3FFFF;
constexpr std::uint32_t Mrt = 1u << 7, Fox = 1u << 11, Fo8 = 1u << 14;
constexpr std::uint32_t StreetCars = 0x7FF & ~Mrt;
constexpr std::uint8_t PrivateBit = 8;

const std::vector<std::uint32_t> carSets = {
    AllCars, StreetCars, StreetCars | Mrt, AllCars & ~(Fox | Fo8), AllCars & ~(Fox | Fo8 | Mrt),
};
// Combinations without a set name; the last has a bit beyond the 18 cars.
const std::vector<std::uint32_t> oddCarMasks = {
    0x3, 0x20000, 0x3000, 0x38000, StreetCars | Fox, Fox | Fo8, 0, AllCars | (1u << 20),
};
const std::vector<std::uint8_t> playerLimits = {8, 10, 12, 12, 15, 16, 16, 20, 20, 24, 24, 32};
const std::vector<std::uint8_t> lapCounts = {0, 3, 5, 5, 8, 10, 10, 15, 20, 30, 45, 100};
const std::vector<std::uint8_t> qualifyingMinutes = {0, 0, 0, 5, 10, 15, 20, 30};

void putText(std::string& out, const std::string& text, std::size_t size) {
    std::string field = text.substr(0, size);
    field.resize(size, '\0');
    out += field;
}

SimHost makeHost(std::size_t i, const std::string& name, Random& random) {
    SimHost host;
    host.name = name;
    // Fixed positions for the odd hosts, so that even a small world has one of each.
    if (i % 40 == 7)
        host.versionType = 0;
    else if (i % 40 == 23)
        host.versionType = 3;
    else if (i % 9 == 4)
        host.versionType = 1;
    host.versionDetail = host.versionType == 1   ? std::array<std::uint8_t, 3>{0, 4, 0}
                         : host.versionType == 2 ? std::array<std::uint8_t, 3>{0, 6, 2}
                                                 : std::array<std::uint8_t, 3>{};
    const auto& unknown = UnknownTrackKeys();
    host.track = i % 13 == 5 ? unknown[(i / 13) % unknown.size()] : random.pick(KnownTracks()).key;
    const bool noLimit = i % 25 == 11;
    host.busy = i % 10 == 1 && !noLimit;
    host.maxPlayers = noLimit ? 0 : host.busy ? 32 : random.pick(playerLimits);
    host.carMask = i % 3 == 2 ? random.pick(oddCarMasks) : random.pick(carSets);
    if (i % 17 == 9)
        host.carMask = static_cast<std::uint32_t>(random.next()) & AllCars;
    // Bits 0-6 carry the rule letters; bit 7 is noise the program must ignore.
    host.rules[0] = static_cast<std::uint8_t>(random.below(128) & ~PrivateBit);
    if (i % 7 == 3)
        host.rules[0] |= PrivateBit;
    if (i % 11 == 0)
        host.rules[0] |= 0x80;
    host.laps = random.pick(lapCounts);
    host.qualifying = random.pick(qualifyingMinutes);
    return host;
}

bool isPrivateHost(const SimHost& host) {
    return host.isPrivate() && host.maxPlayers > 0;
}
bool isHiddenHost(const SimHost& host) {
    return !host.isListedVersion() && host.maxPlayers > 0;
}
bool isAnyHost(const SimHost& host) {
    return host.maxPlayers > 0;
}

} // namespace

std::string EncodeHostEntry(const SimHost& host, const std::vector<std::string>& racerNames) {
    std::string out;
    out.reserve(HostFixedSize + RacerNameSize * racerNames.size());
    putText(out, host.name, HostNameSize);
    out += static_cast<char>(host.versionType);
    for (std::uint8_t b : host.versionDetail)
        out += static_cast<char>(b);
    for (std::uint8_t b : host.track)
        out += static_cast<char>(b);
    out += static_cast<char>(host.maxPlayers);
    for (int shift = 0; shift < 32; shift += 8)
        out += static_cast<char>((host.carMask >> shift) & 0xFF);
    for (std::uint8_t b : host.rules)
        out += static_cast<char>(b);
    out += static_cast<char>(host.laps);
    out += static_cast<char>(host.qualifying);
    out += std::string(2, '\0');
    const std::size_t count = std::min<std::size_t>(racerNames.size(), 255);
    out += static_cast<char>(count);
    for (std::size_t j = 0; j < count; ++j)
        putText(out, racerNames[j], RacerNameSize);
    return out;
}

std::string PaddingHostEntry() {
    SimHost host;
    host.name = "Padding host";
    host.track = KnownTracks().front().key;
    host.maxPlayers = 255;
    host.carMask = AllCars;
    std::vector<std::string> names;
    for (int j = 0; j < 255; ++j)
        names.push_back("Padding racer " + std::to_string(j));
    return EncodeHostEntry(host, names);
}

World::World(std::size_t hostCount, std::uint64_t seed) : m_random(seed) {
    const std::vector<std::string> hostNames = HostNames(hostCount);
    for (std::size_t i = 0; i < hostCount; ++i)
        m_hosts.push_back(makeHost(i, hostNames[i], m_random));

    m_racerNames = DemoRacerNames();
    m_mateCount = m_racerNames.size();
    const auto mateIndex = [this](const std::string& name) {
        return static_cast<std::size_t>(std::find(m_racerNames.begin(), m_racerNames.end(), name) -
                                        m_racerNames.begin());
    };
    m_privateMate = mateIndex(DemoPrivateRacer());
    m_hiddenMate = mateIndex(DemoHiddenRacer());

    std::size_t seats = 0;
    for (std::size_t h = 0; h < m_hosts.size(); ++h)
        seats += static_cast<std::size_t>(capacity(h));
    for (std::string& name : RacerNames(seats + 100, m_racerNames))
        m_racerNames.push_back(std::move(name));
    m_seat.assign(m_racerNames.size(), -1);
    m_offlineFor.assign(m_mateCount, 0);
    for (std::size_t r = m_racerNames.size(); r-- > m_mateCount;)
        m_idle.push_back(r);

    for (std::size_t h = 0; h < m_hosts.size(); ++h) {
        SimHost& host = m_hosts[h];
        const int cap = capacity(h);
        host.target = host.busy              ? m_random.between(24, cap)
                      : m_random.chance(0.3) ? 0
                                             : m_random.between(0, cap);
        settleRegulars(h);
    }
    for (std::size_t m = 0; m < m_mateCount; ++m)
        if (m % 2 == 0 && m != m_privateMate && m != m_hiddenMate)
            placeMate(m, isAnyHost);
    placeMate(m_privateMate, isPrivateHost);
    placeMate(m_hiddenMate, isHiddenHost);
}

std::string World::hostList() const {
    std::string out;
    std::vector<std::string> names;
    for (const SimHost& host : m_hosts) {
        names.clear();
        for (std::size_t r : host.racers)
            names.push_back(m_racerNames[r]);
        for (const auto& [guest, at] : m_guests)
            if (&m_hosts[at] == &host && names.size() < 255)
                names.push_back(guest);
        out += EncodeHostEntry(host, names);
    }
    for (const SimHost& host : m_staged) {
        names.clear();
        for (std::size_t j = 0; j < host.racers.size(); ++j)
            names.push_back("Staged racer " + std::to_string(j + 1));
        out += EncodeHostEntry(host, names);
    }
    return out;
}

void World::stageHost(const std::string& name, std::uint8_t limit, std::uint8_t players) {
    unstageHost(name);
    SimHost host;
    host.name = name;
    host.versionDetail = {0, 6, 2};
    host.track = KnownTracks().front().key;
    host.maxPlayers = limit;
    host.carMask = AllCars;
    host.laps = 5;
    host.racers.assign(players, 0);
    m_staged.push_back(std::move(host));
}

void World::unstageHost(const std::string& name) {
    std::erase_if(m_staged, [&name](const SimHost& host) { return host.name == name; });
}

void World::seatGuest(const std::string& name, std::size_t nth) {
    unseatGuest(name);
    std::vector<std::size_t> openHosts;
    for (std::size_t h = 0; h < m_hosts.size(); ++h) {
        const SimHost& host = m_hosts[h];
        if (host.isListedVersion() && isAnyHost(host) && !host.isPrivate())
            openHosts.push_back(h);
    }
    if (!openHosts.empty())
        m_guests.emplace_back(name, openHosts[nth < openHosts.size() ? nth : 0]);
}

void World::unseatGuest(const std::string& name) {
    std::erase_if(m_guests, [&name](const auto& guest) { return guest.first == name; });
}

void World::advance() {
    for (std::size_t h = 0; h < m_hosts.size(); ++h) {
        SimHost& host = m_hosts[h];
        driftTarget(host, capacity(h));
        // Some regulars call it a day; settleRegulars brings newcomers.
        std::vector<std::size_t> leaving;
        for (std::size_t r : host.racers)
            if (r >= m_mateCount && m_random.chance(0.08))
                leaving.push_back(r);
        for (std::size_t r : leaving)
            unseat(r);
        settleRegulars(h);
    }
    moveMates();
}

int World::capacity(std::size_t host) const {
    return m_hosts[host].maxPlayers;
}

void World::seat(std::size_t racer, std::size_t host) {
    m_hosts[host].racers.push_back(racer);
    m_seat[racer] = static_cast<long>(host);
}

void World::unseat(std::size_t racer) {
    if (m_seat[racer] < 0)
        return;
    auto& racers = m_hosts[static_cast<std::size_t>(m_seat[racer])].racers;
    racers.erase(std::find(racers.begin(), racers.end(), racer));
    m_seat[racer] = -1;
    if (racer >= m_mateCount)
        m_idle.push_back(racer);
}

void World::driftTarget(SimHost& host, int cap) {
    if (m_random.chance(0.03))
        host.target = 0; // everybody leaves, as after a league race
    else if (m_random.chance(0.03))
        host.target = cap;
    else if (m_random.chance(0.15))
        host.target = std::clamp(host.target + m_random.between(-3, 3), 0, cap);
    if (host.busy && host.target > 0)
        host.target = std::max(host.target, std::min(cap, 24));
}

// Brings the host's regulars towards its target: a few join per step, the surplus leaves.
void World::settleRegulars(std::size_t h) {
    SimHost& host = m_hosts[h];
    const auto size = [&] { return static_cast<int>(host.racers.size()); };
    while (size() > host.target) {
        const auto regular = std::find_if(host.racers.rbegin(), host.racers.rend(),
                                          [this](std::size_t r) { return r >= m_mateCount; });
        if (regular == host.racers.rend())
            break;
        unseat(*regular);
    }
    // An empty host fills at once: a league or a group of friends arriving together.
    int joining = host.racers.empty() ? host.target - size() : m_random.between(1, 4);
    joining = std::min(joining, std::min(host.target, capacity(h)) - size());
    for (int j = 0; j < joining && !m_idle.empty(); ++j)
        seat(takeIdleRacer(), h);
}

void World::moveMates() {
    for (std::size_t m = 0; m < m_mateCount; ++m) {
        if (m == m_privateMate || m == m_hiddenMate)
            continue;
        if (m_seat[m] >= 0 && m_random.chance(0.3)) {
            unseat(m);
        } else if (m_seat[m] < 0) {
            // Nobody stays away for long, so a demo soon shows every mate racing.
            if (++m_offlineFor[m] >= 4 || m_random.chance(0.3))
                placeMate(m, isAnyHost);
        }
        if (m_seat[m] >= 0)
            m_offlineFor[m] = 0;
    }
    // Two mates stay on line, hopping now and then between hosts of their kind.
    for (std::size_t m : {m_privateMate, m_hiddenMate}) {
        if (m_random.chance(0.2))
            unseat(m);
        if (m_seat[m] < 0)
            placeMate(m, m == m_privateMate ? isPrivateHost : isHiddenHost);
    }
}

// Seats a mate on a random host that fits, making room by sending a regular home.
void World::placeMate(std::size_t mate, bool (*fits)(const SimHost&)) {
    std::vector<std::size_t> candidates;
    for (std::size_t h = 0; h < m_hosts.size(); ++h)
        if (fits(m_hosts[h]))
            candidates.push_back(h);
    if (candidates.empty())
        for (std::size_t h = 0; h < m_hosts.size(); ++h)
            if (isAnyHost(m_hosts[h]))
                candidates.push_back(h);
    if (candidates.empty())
        return;
    unseat(mate);
    const std::size_t h = m_random.pick(candidates);
    SimHost& host = m_hosts[h];
    if (static_cast<int>(host.racers.size()) >= capacity(h)) {
        const auto regular = std::find_if(host.racers.begin(), host.racers.end(),
                                          [this](std::size_t r) { return r >= m_mateCount; });
        if (regular == host.racers.end())
            return;
        unseat(*regular);
    }
    seat(mate, h);
}

std::size_t World::takeIdleRacer() {
    const std::size_t i = m_random.below(static_cast<std::uint32_t>(m_idle.size()));
    const std::size_t racer = m_idle[i];
    m_idle[i] = m_idle.back();
    m_idle.pop_back();
    return racer;
}
