#include "NamePools.h"

#include <algorithm>
#include <set>
#include <string_view>

namespace {

// A few names test the program's display: markup that must show as typed, a lone
// caret code that is not a colour, blanks at both ends, Latin-1 letters.
const std::vector<std::string> baseHostNames = {
    "^1Fast ^7Racers^a",
    "Team^vOne Racing",
    "^4Blue ^7Thunder League",
    "[NL] ^3Dutch Drift",
    "^2Green Flag ^8Club",
    "Sunday Cruisers",
    "<b>markup</b> ^1test host",
    "^6Midnight ^7Sprint",
    "50^% Throttle",
    "  Blank Edged Host  ",
    "^5Tarmac ^7Titans",
    "Caf\xE9 ^3Racing",
    "^1GTR ^7Endurance",
    "Drift ^3Kings ^7Union",
    "Rallycross ^4Heroes",
    "^3Nordic ^7Racing ^a",
    "Oval Masters",
    "Kyoto ^1Nights",
    "^7Aston ^2Historic Series",
    "Westhill ^6Hotlaps",
    "Chill Laps & Coffee",
    "Rookie Training",
    "^8Black ^7Cat Motorsport",
    "Autocross ^5Fun",
    "Drag ^1Strip ^7Friday",
    "League ^4Qualifying",
    "^9Odd Caret Host",
    "^^1Double Caret",
    "Old S1 Server",
    "Demo ^2Cruise",
    "^4UF1 ^7Cup",
    "Hidden ^1^2^3Codes",
    "XRT ^3Turbo Days",
    "Formula ^1V8 ^7Sprint",
    "Fern Bay ^2Gold Rush",
    "South ^5City ^7Cruisers",
    "^7Weekend ^1Warriors",
    "Pit ^3Stop ^7Pals",
    "\xD6lwechsel Motorsport",
    "^2Eco ^7Drivers",
};

// Name tables as '|'-separated text: far shorter than one literal per line.
std::vector<std::string> splitNames(std::string_view list) {
    std::vector<std::string> names;
    for (std::size_t at = 0; at <= list.size();) {
        const std::size_t end = std::min(list.find('|', at), list.size());
        names.emplace_back(list.substr(at, end - at));
        at = end + 1;
    }
    return names;
}

const std::vector<std::string> firstNames = splitNames(
    "Anna|Ben|Carla|David|Elif|Finn|Greta|Hugo|Ines|Jonas|Kai|Lena|Milan|Nora|Oskar|Paula|Quinn|"
    "Rafael|Sofie|Tobias|Ulla|Viktor|Wim|Xenia|Yusuf|Zoe|Aksel|Bj\xF6rn|C\xE9line|Dani|Emil|Fr\xE9"
    "d\xE9ric|Gustav|Hanna|Ivo|Jari|Kasper|Lotte|Mats|Niels|Olli|Pekka|Ra\xFAl|Sanne|Teemu|Urs|"
    "Vera|Wouter");

const std::vector<std::string> lastNames =
    splitNames("Adler|Bakker|Castell|Dahl|Eriksen|Fischer|Gruber|Hartmann|Iversen|Jansen|Kivinen|"
               "Lambert|M\xFCller|Novak|Olsen|Peeters|Quist|Rossi|Schulz|Tanaka|Urban|Visser|Weber|"
               "Yilmaz|Zeller|Br\xE4uer|Coleman|Dvo\xF8\xE1k|Evans|Fonseca|Garc\xED"
               "a|Hughes|Ilves|J\xE4rvinen|Kowalski|Lindgren|Moreau|Nieminen|Ortega|Price");

const std::vector<std::string> handles =
    splitNames("Speedy|NitroNils|LateApex|Slipstream|TurboTom|DriftQueen|GearGrinder|PitLane|"
               "RevLimit|Oversteer|Kerb_Hopper|[RT]Max|xX_Racer_Xx|Sideways|Redline|BrakeLate|"
               "FlatOut|Tyre Smoke|Chicane|Vmax|Hotlapper");

} // namespace

std::vector<std::string> HostNames(std::size_t count) {
    std::vector<std::string> names;
    names.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        std::string name = baseHostNames[i % baseHostNames.size()];
        if (const std::size_t round = i / baseHostNames.size(); round > 0) {
            const std::string suffix = " #" + std::to_string(round + 1);
            name = name.substr(0, 31 - suffix.size()) + suffix;
        }
        names.push_back(name);
    }
    return names;
}

std::vector<std::string> RacerNames(std::size_t count, const std::vector<std::string>& exclude) {
    std::set<std::string> seen(exclude.begin(), exclude.end());
    std::vector<std::string> names;
    auto add = [&](std::string name) {
        if (name.size() <= 24 && seen.insert(name).second)
            names.push_back(std::move(name));
    };
    // A full 24-byte name leaves no zero padding in its slot.
    add("Christopher Vandenberghe");
    add("Mo ");
    add("Lars  Petter");
    // Interleaved so that the first names handed out are a varied mix.
    for (std::size_t i = 0; i < firstNames.size() * lastNames.size(); ++i) {
        const std::string& first = firstNames[i % firstNames.size()];
        const std::string& last = lastNames[(i * 7 + i / firstNames.size()) % lastNames.size()];
        switch ((i + i / firstNames.size()) % 6) {
        case 0:
            add(first + " " + last);
            break;
        case 1:
            add(first.substr(0, 1) + ". " + last);
            break;
        case 2:
            add(first + " " + last + " "); // trailing blank, typed by accident
            break;
        case 3:
            add(handles[i % handles.size()] + std::to_string(i % 100));
            break;
        case 4:
            add(first + last.substr(0, 3));
            break;
        default:
            add(first + "_" + last);
            break;
        }
    }
    for (std::size_t i = 0; names.size() < count; ++i)
        add(handles[i % handles.size()] + "_" + std::to_string(1000 + i));
    return names;
}
