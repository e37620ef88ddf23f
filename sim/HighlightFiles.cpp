#include "HighlightFiles.h"

#include "Random.h"
#include "TrackTable.h"

#include <cstdio>
#include <map>

namespace {

struct Country {
    const char* fileName;
    std::vector<std::string> racers;
};

const std::vector<Country>& countries() {
    static const std::vector<Country> list = {
        {"highlights.txt",
         {"Lukas Brenner", "Tessa Vrolijk", "Pia Lindqvist", "Dan Whitfield", "Marco Ventura",
          "S\xF8ren Holm", "Nadia Okafor", "Sami Nyk\xE4nen", "Christopher Vandenberghe"}},
        {"highlights_Germany.txt",
         {"Lukas Brenner",
          "J\xF6rg Fa\xDF"
          "bender",
          "Hannah K\xF6hler", "Tobias Gruber", "Greta M\xFCller", "Jonas Weber"}},
        {"highlights_United_Kingdom.txt",
         {"Dan Whitfield", "Chris P", "Ben Hughes", "Zoe Price", "Quinn Coleman", "Mo"}},
        {"highlights_Netherlands.txt",
         {"Tessa Vrolijk", "Wouter Bakker", "Sanne Visser", "Wim Jansen", "Lotte Peeters"}},
        {"highlights_United_States.txt",
         {"Nadia Okafor", "RoadRunner77", "apex_hunter", "David Evans", "Paula Ortega"}},
        {"highlights_Finland.txt",
         {"Sami Nyk\xE4nen", "Teemu Kivinen", "Pekka Nieminen", "Olli J\xE4rvinen", "Jari Ilves"}},
    };
    return list;
}

const std::vector<const char*> cars = {
    "XF GTI",     "XR GT Turbo", "RB4 GT",  "FXO Turbo", "LX6",      "MRT5",   "FZ50",
    "FORMULA XR", "FORMULA V8",  "FXO GTR", "XR GTR",    "FZ50 GTR", "UF 1000"};

// Line patterns; {A} and {B} racers, {T} track, {C} car, {L} lap time, {N} and {G} numbers.
// The long ones run well past the width of the ticker band.
const std::vector<const char*> patterns = {
    "<b>{A}</b> set a new personal best on <i>{T}</i> in the {C}: <b>{L}</b>",
    "New track record! <b>{A}</b> laps <i>{T}</i> in <b>{L}</b> with the {C}",
    "<b>{A}</b> won a {N}-lap race on <i>{T}</i>, {G} seconds ahead of <b>{B}</b>",
    "<a href=\"https://example.com/replays/{N}{G}\">Replay</a>: <b>{A}</b> takes pole on "
    "<i>{T}</i>",
    "<b>{A}</b> drove a flawless race on <i>{T}</i>, leading every one of the {N} laps in the "
    "{C} and finishing {G} seconds ahead of <b>{B}</b>, who had started from the back of the "
    "grid after a spin in qualifying",
    "<b>{A}</b> completed {N} clean laps in a row on <i>{T}</i> without a single yellow flag",
    "Hotlap of the day: <b>{A}</b>, {C}, <i>{T}</i>, <b>{L}</b>",
    "<i>League night:</i> <b>{A}</b> and <b>{B}</b> fought side by side for {N} laps on "
    "<i>{T}</i> before <b>{A}</b> found a way past at the final corner and won by {G} seconds "
    "in the {C}",
    "<b>{B}</b> climbed {G} places in the opening lap on <i>{T}</i>",
    "<b>{A}</b> reached {N}000 km driven online, most of them in the {C}",
};

std::string lapTime(Random& random) {
    char text[16];
    std::snprintf(text, sizeof text, "%d:%02d.%02d", random.between(0, 2), random.between(0, 59),
                  random.between(0, 99));
    return text;
}

void replaceAll(std::string& text, const std::string& from, const std::string& to) {
    for (std::size_t at = text.find(from); at != std::string::npos;
         at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
}

std::string buildFile(const Country& country, std::uint64_t seed) {
    Random random(seed);
    const auto& tracks = KnownTracks();
    std::string text;
    const int lines = random.between(25, 40);
    for (int i = 0; i < lines; ++i) {
        std::string line = patterns[static_cast<std::size_t>(i) % patterns.size()];
        // Two different racers: B is any other than A.
        const auto count = static_cast<std::uint32_t>(country.racers.size());
        const std::uint32_t a = random.below(count);
        const std::uint32_t b = (a + 1 + random.below(count - 1)) % count;
        replaceAll(line, "{A}", country.racers[a]);
        replaceAll(line, "{B}", country.racers[b]);
        replaceAll(line, "{T}", random.pick(tracks).name);
        replaceAll(line, "{C}", cars[random.below(static_cast<std::uint32_t>(cars.size()))]);
        replaceAll(line, "{L}", lapTime(random));
        replaceAll(line, "{N}", std::to_string(random.between(3, 60)));
        replaceAll(line, "{G}", std::to_string(random.between(1, 19)));
        text += line + "\r\n";
    }
    return text;
}

} // namespace

std::vector<std::string> HighlightFileNames() {
    std::vector<std::string> names;
    for (const Country& country : countries())
        names.emplace_back(country.fileName);
    return names;
}

std::optional<std::string> HighlightFile(const std::string& fileName) {
    static const std::map<std::string, std::string> files = [] {
        std::map<std::string, std::string> built;
        std::uint64_t seed = 2006;
        for (const Country& country : countries())
            built[country.fileName] = buildFile(country, seed++);
        return built;
    }();
    const auto it = files.find(fileName);
    if (it == files.end())
        return std::nullopt;
    return it->second;
}
