#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

enum class FaultKind { None, Refuse, Status, Stall, Truncate, Drop, Oversize };

struct FaultConfig {
    FaultKind kind = FaultKind::None;
    int status = 503;     // for Status
    int stallSeconds = 0; // for Stall
    int delayMs = 0;      // waited before a faulted request is answered
    int every = 1;        // only every n-th request is faulted
    bool highlights = false;

    bool active() const { return kind != FaultKind::None || delayMs > 0; }
};

struct SimOptions {
    int port = 47800;
    std::size_t hosts = 120;
    std::uint64_t seed = 20061105;
    std::string rosterDir; // --write-demo-roster
    bool help = false;
    bool log = false;     // one line per request on stderr
    std::string identKey; // --ident-key: host-list requests must carry it as idk
    FaultConfig fault;
};

// Parses the command line (without the program name). On a bad argument the result
// is empty and `error` says why.
std::optional<SimOptions> ParseOptions(const std::vector<std::string>& args, std::string& error);

// Builds a fault from name=value pairs (fault, value, delay, every, highlights), as the
// control page takes them.
std::optional<FaultConfig> ParseFault(const std::map<std::string, std::string>& params,
                                      std::string& error);

std::string DescribeFault(const FaultConfig& fault);
std::string UsageText();
