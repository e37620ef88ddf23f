#include "SimOptions.h"

#include <charconv>

namespace {

std::optional<long long> parseNumber(const std::string& text, long long min, long long max) {
    long long value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc() || ptr != end || value < min || value > max)
        return std::nullopt;
    return value;
}

const std::map<std::string, FaultKind>& faultNames() {
    static const std::map<std::string, FaultKind> names = {
        {"none", FaultKind::None},         {"refuse", FaultKind::Refuse},
        {"status", FaultKind::Status},     {"stall", FaultKind::Stall},
        {"truncate", FaultKind::Truncate}, {"drop", FaultKind::Drop},
        {"oversize", FaultKind::Oversize},
    };
    return names;
}

bool setKind(FaultConfig& fault, FaultKind kind, std::string& error) {
    if (fault.kind != FaultKind::None && fault.kind != kind) {
        error = "only one of --refuse, --status, --stall, --truncate, --drop, --oversize";
        return false;
    }
    fault.kind = kind;
    return true;
}

} // namespace

std::optional<SimOptions> ParseOptions(const std::vector<std::string>& args, std::string& error) {
    SimOptions options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        // Reads the flag's value as a number in [min, max].
        const auto number = [&](long long min, long long max) -> std::optional<long long> {
            if (i + 1 >= args.size()) {
                error = arg + " needs a value";
                return std::nullopt;
            }
            const auto value = parseNumber(args[++i], min, max);
            if (!value)
                error = arg + ": '" + args[i] + "' is not a number from " + std::to_string(min) +
                        " to " + std::to_string(max);
            return value;
        };
        std::optional<long long> value = 0;
        if (arg == "--help" || arg == "-h") {
            options.help = true;
        } else if (arg == "--port") {
            if ((value = number(0, 65535)))
                options.port = static_cast<int>(*value);
        } else if (arg == "--hosts") {
            if ((value = number(0, 5000)))
                options.hosts = static_cast<std::size_t>(*value);
        } else if (arg == "--seed") {
            if ((value = number(0, INT64_MAX)))
                options.seed = static_cast<std::uint64_t>(*value);
        } else if (arg == "--write-demo-roster") {
            if (i + 1 >= args.size()) {
                error = arg + " needs a folder";
                return std::nullopt;
            }
            options.rosterDir = args[++i];
        } else if (arg == "--ident-key") {
            if (i + 1 >= args.size() || args[i + 1].empty()) {
                error = arg + " needs a key";
                return std::nullopt;
            }
            options.identKey = args[++i];
        } else if (arg == "--refuse") {
            value = setKind(options.fault, FaultKind::Refuse, error) ? value : std::nullopt;
        } else if (arg == "--truncate") {
            value = setKind(options.fault, FaultKind::Truncate, error) ? value : std::nullopt;
        } else if (arg == "--drop") {
            value = setKind(options.fault, FaultKind::Drop, error) ? value : std::nullopt;
        } else if (arg == "--oversize") {
            value = setKind(options.fault, FaultKind::Oversize, error) ? value : std::nullopt;
        } else if (arg == "--status") {
            if ((value = number(100, 599)) && setKind(options.fault, FaultKind::Status, error))
                options.fault.status = static_cast<int>(*value);
            else
                value = std::nullopt;
        } else if (arg == "--stall") {
            if ((value = number(0, 3600)) && setKind(options.fault, FaultKind::Stall, error))
                options.fault.stallSeconds = static_cast<int>(*value);
            else
                value = std::nullopt;
        } else if (arg == "--delay") {
            if ((value = number(0, 600'000)))
                options.fault.delayMs = static_cast<int>(*value);
        } else if (arg == "--fault-every") {
            if ((value = number(1, 1'000'000)))
                options.fault.every = static_cast<int>(*value);
        } else if (arg == "--log") {
            options.log = true;
        } else if (arg == "--fault-highlights") {
            options.fault.highlights = true;
        } else {
            error = "unknown argument '" + arg + "' (try --help)";
            return std::nullopt;
        }
        if (!value)
            return std::nullopt;
    }
    return options;
}

std::optional<FaultConfig> ParseFault(const std::map<std::string, std::string>& params,
                                      std::string& error) {
    FaultConfig fault;
    const auto get = [&](const char* key) {
        const auto it = params.find(key);
        return it == params.end() ? std::string() : it->second;
    };
    const auto kind = faultNames().find(get("fault").empty() ? "none" : get("fault"));
    if (kind == faultNames().end()) {
        error = "unknown fault '" + get("fault") + "'";
        return std::nullopt;
    }
    fault.kind = kind->second;
    const auto number = [&](const char* key, long long min, long long max, int& into) {
        if (get(key).empty())
            return true;
        const auto value = parseNumber(get(key), min, max);
        if (!value) {
            error = std::string(key) + ": '" + get(key) + "' is not a number from " +
                    std::to_string(min) + " to " + std::to_string(max);
            return false;
        }
        into = static_cast<int>(*value);
        return true;
    };
    int highlights = 0;
    int value = fault.kind == FaultKind::Status ? fault.status : fault.stallSeconds;
    if (!number("value", fault.kind == FaultKind::Status ? 100 : 0,
                fault.kind == FaultKind::Status ? 599 : 3600, value) ||
        !number("delay", 0, 600'000, fault.delayMs) ||
        !number("every", 1, 1'000'000, fault.every) || !number("highlights", 0, 1, highlights))
        return std::nullopt;
    (fault.kind == FaultKind::Status ? fault.status : fault.stallSeconds) = value;
    fault.highlights = highlights != 0;
    return fault;
}

std::string DescribeFault(const FaultConfig& fault) {
    std::string name;
    for (const auto& [key, kind] : faultNames())
        if (kind == fault.kind)
            name = key;
    std::string text = "fault=" + name;
    if (fault.kind == FaultKind::Status)
        text += " status=" + std::to_string(fault.status);
    if (fault.kind == FaultKind::Stall)
        text += " stall=" + std::to_string(fault.stallSeconds) + "s";
    text += " delay=" + std::to_string(fault.delayMs) + "ms";
    text += " every=" + std::to_string(fault.every);
    text += fault.highlights ? " highlights=1" : " highlights=0";
    return text;
}

std::string UsageText() {
    return R"(Usage: pelmark-statsim [options]

A local stand-in for the statistics service, on 127.0.0.1 only. Serves
  /pubstat/get_stat2.php?action=hosts   the packed host list of a changing world
  /highlight_countries/<file>           highlight files (404 for other countries)
  /sim/control?fault=...                changes the fault while running
  /sim/control?online=NAME              seats the racer NAME on an open public host
                  &seat=N               on the Nth of them (from 0) instead of the first
  /sim/control?offline=NAME             takes that racer off line again
  /sim/control?stage=NAME&limit=L&players=P
                                        lists a public host NAME, outside the drift,
                                        with P of its L slots taken until changed
  /sim/control?unstage=NAME             takes that host off the list again
Prints "listening on 127.0.0.1:PORT" once it accepts connections.

Options:
  --port N               port to listen on (default 47800; 0 picks a free one)
  --hosts N              number of hosts in the world (default 120)
  --seed N               world seed; the same seed gives the same replies (default 20061105)
  --write-demo-roster DIR
                         write the demo groups as profile files into DIR and exit
  --log                  print one line per request on stderr (method, path, status)
  --ident-key KEY        answer host-list requests without idk=KEY with a short
                         text, as the real service does (default: no key needed)
  --help                 show this text

Faults (host list only, unless --fault-highlights):
  --refuse               answer 200 with the service's "can't" refusal text
  --status CODE          answer with that HTTP status and a short text
  --stall SECONDS        send headers and part of the body, then nothing for
                         SECONDS, then close
  --truncate             cut the body inside its last entry
  --drop                 announce the full length, send half, close the connection
  --oversize             a valid-looking reply of about 17 MiB
  --delay MS             wait MS milliseconds before answering
  --fault-every K        fault only every K-th request (default 1: all)
  --fault-highlights     fault the highlight files the same way

Control page: /sim/control?fault=none|refuse|status|stall|truncate|drop|oversize
  &value=N (status code or stall seconds) &delay=MS &every=K &highlights=0|1
  Without parameters it shows the current fault.
)";
}
