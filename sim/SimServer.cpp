#include "SimServer.h"

#include "HighlightFiles.h"

#include <algorithm>
#include <chrono>
#include <cstdio>

namespace {

constexpr std::size_t OversizeTarget = 17 * 1024 * 1024;
constexpr std::size_t ChunkSize = 64 * 1024;

// Start of the last entry plus half its length: inside it, and never a lone stray
// byte that a decoder would be allowed to ignore.
std::size_t hostListCut(const std::string& list) {
    std::size_t last = 0;
    for (std::size_t p = 0; p + HostFixedSize <= list.size();) {
        last = p;
        p += HostFixedSize + RacerNameSize * static_cast<unsigned char>(list[p + 52]);
    }
    return last + (list.size() - last) / 2;
}

std::string statusText(int status) {
    switch (status) {
    case 500:
        return "Internal Server Error";
    case 502:
        return "Bad Gateway";
    case 503:
        return "Service Unavailable";
    case 404:
        return "Not Found";
    default:
        return "Error " + std::to_string(status);
    }
}

} // namespace

SimServer::SimServer(const SimOptions& options)
    : m_identKey(options.identKey), m_world(options.hosts, options.seed), m_fault(options.fault) {
    Random random(options.seed ^ 0xC0FFEE);
    char session[17];
    std::snprintf(session, sizeof session, "%016llx",
                  static_cast<unsigned long long>(random.next()));
    m_cookie = std::string("sim_session=") + session + "; Path=/";

    m_server.Get(
        "/pubstat/get_stat2.php",
        [this](const httplib::Request& req, httplib::Response& res) { handleHosts(req, res); });
    m_server.Get(R"(/highlight_countries/([^/]*))",
                 [this](const httplib::Request& req, httplib::Response& res) {
                     handleHighlights(req, res);
                 });
    m_server.Get("/sim/control", [this](const httplib::Request& req, httplib::Response& res) {
        handleControl(req, res);
    });
    if (options.log) {
        // Scripts wait on these lines, so each one goes out whole and at once.
        m_server.set_logger([this](const httplib::Request& req, const httplib::Response& res) {
            std::string line = req.method + " " + req.path;
            if (!req.params.empty()) {
                char separator = '?';
                for (const auto& [key, value] : req.params) {
                    line += separator + key + "=" + value;
                    separator = '&';
                }
            }
            line += " " + std::to_string(res.status) + "\n";
            std::lock_guard lock(m_logMutex);
            std::fputs(line.c_str(), stderr);
            std::fflush(stderr);
        });
    }
    m_server.set_error_handler([](const httplib::Request&, httplib::Response& res) {
        if (res.body.empty())
            res.set_content(statusText(res.status) + "\n", "text/plain");
    });
}

int SimServer::bind(int port) {
    if (port == 0)
        return m_server.bind_to_any_port("127.0.0.1");
    return m_server.bind_to_port("127.0.0.1", port) ? port : -1;
}

bool SimServer::run() {
    return m_server.listen_after_bind();
}

void SimServer::stop() {
    {
        std::lock_guard lock(m_stopMutex);
        m_stopping = true;
    }
    m_stopped.notify_all();
    m_server.stop();
}

bool SimServer::pause(int milliseconds) {
    std::unique_lock lock(m_stopMutex);
    return !m_stopped.wait_for(lock, std::chrono::milliseconds(milliseconds),
                               [this] { return m_stopping; });
}

std::optional<FaultConfig> SimServer::faultFor(long& counter, bool highlights) {
    const FaultConfig fault = m_fault;
    ++counter;
    if (!fault.active() || (highlights && !fault.highlights) || counter % fault.every != 0)
        return std::nullopt;
    return fault;
}

void SimServer::handleHosts(const httplib::Request& req, httplib::Response& res) {
    res.set_header("Set-Cookie", m_cookie);
    if (req.get_param_value("action") != "hosts") {
        res.status = 400;
        res.set_content("Unknown action\n", "text/plain");
        return;
    }
    if (!m_identKey.empty() && req.get_param_value("idk") != m_identKey) {
        res.set_content("Identification key (idk) missing or not valid - see your account "
                        "settings\n",
                        "text/plain");
        return;
    }
    auto body = std::make_shared<Body>();
    std::optional<FaultConfig> fault;
    {
        std::lock_guard lock(m_mutex);
        fault = faultFor(m_hostRequests, false);
        body->data = m_world.hostList();
        m_world.advance();
    }
    body->contentType = "application/octet-stream";
    body->truncateAt = hostListCut(body->data);
    static const std::string padding = PaddingHostEntry();
    body->padding = padding;
    reply(res, std::move(body), fault);
}

void SimServer::handleHighlights(const httplib::Request& req, httplib::Response& res) {
    res.set_header("Set-Cookie", m_cookie);
    const std::optional<std::string> text = HighlightFile(req.matches[1].str());
    if (!text) {
        res.status = 404;
        res.set_content("Not Found\n", "text/plain");
        return;
    }
    std::optional<FaultConfig> fault;
    {
        std::lock_guard lock(m_mutex);
        fault = faultFor(m_highlightRequests, true);
    }
    auto body = std::make_shared<Body>();
    body->data = *text;
    body->contentType = "text/plain";
    body->truncateAt = text->size() / 2;
    body->padding = "<b>Padding</b> line that is only here to make the file far too big\r\n";
    reply(res, std::move(body), fault);
}

void SimServer::handleControl(const httplib::Request& req, httplib::Response& res) {
    std::lock_guard lock(m_mutex);
    if (req.has_param("online") || req.has_param("offline")) {
        if (req.has_param("online")) {
            const std::string seat = req.get_param_value("seat");
            const bool digits =
                !seat.empty() && seat.size() <= 6 &&
                std::all_of(seat.begin(), seat.end(), [](char c) { return c >= '0' && c <= '9'; });
            m_world.seatGuest(req.get_param_value("online"), digits ? std::stoul(seat) : 0);
        }
        if (req.has_param("offline"))
            m_world.unseatGuest(req.get_param_value("offline"));
        res.set_content("ok\n", "text/plain");
        return;
    }
    if (req.has_param("stage") || req.has_param("unstage")) {
        if (!stage(req)) {
            res.status = 400;
            res.set_content("limit and players must be 0 to 255\n", "text/plain");
            return;
        }
        res.set_content("ok\n", "text/plain");
        return;
    }
    if (!req.params.empty()) {
        std::map<std::string, std::string> params(req.params.begin(), req.params.end());
        std::string error;
        const std::optional<FaultConfig> fault = ParseFault(params, error);
        if (!fault) {
            res.status = 400;
            res.set_content(error + "\n", "text/plain");
            return;
        }
        m_fault = *fault;
        m_hostRequests = 0;
        m_highlightRequests = 0;
    }
    res.set_content(DescribeFault(m_fault) + "\n", "text/plain");
}

bool SimServer::stage(const httplib::Request& req) {
    if (req.has_param("unstage")) {
        m_world.unstageHost(req.get_param_value("unstage"));
        return true;
    }
    const auto byte = [&req](const char* key) -> std::optional<std::uint8_t> {
        const std::string text = req.get_param_value(key);
        if (text.empty() || text.size() > 3 ||
            text.find_first_not_of("0123456789") != std::string::npos || std::stoi(text) > 255)
            return std::nullopt;
        return static_cast<std::uint8_t>(std::stoi(text));
    };
    const std::optional<std::uint8_t> limit = byte("limit");
    const std::optional<std::uint8_t> players = byte("players");
    if (!limit || !players)
        return false;
    m_world.stageHost(req.get_param_value("stage"), *limit, *players);
    return true;
}

void SimServer::reply(httplib::Response& res, std::shared_ptr<const Body> body,
                      const std::optional<FaultConfig>& fault) {
    if (!fault) {
        res.set_content(body->data, body->contentType);
        return;
    }
    if (fault->delayMs > 0 && !pause(fault->delayMs))
        return;
    switch (fault->kind) {
    case FaultKind::None:
        res.set_content(body->data, body->contentType);
        break;
    case FaultKind::Refuse:
        res.set_content("Sorry, can't answer: too many requests\n", "text/plain");
        break;
    case FaultKind::Status:
        res.status = fault->status;
        res.set_content(statusText(fault->status) + "\n", "text/plain");
        break;
    case FaultKind::Truncate:
        res.set_content(body->data.substr(0, body->truncateAt), body->contentType);
        break;
    case FaultKind::Stall: {
        // Headers and the first part go out, then the connection goes quiet.
        const int seconds = fault->stallSeconds;
        res.set_content_provider(
            body->data.size(), body->contentType,
            [this, body, seconds](std::size_t offset, std::size_t, httplib::DataSink& sink) {
                if (offset == 0 && sink.write(body->data.data(), body->truncateAt))
                    pause(seconds * 1000);
                return false;
            });
        break;
    }
    case FaultKind::Drop:
        // Announces the full length but closes the connection after the first half.
        res.set_content_provider(body->data.size(), body->contentType,
                                 [body](std::size_t offset, std::size_t, httplib::DataSink& sink) {
                                     return offset == 0 &&
                                            sink.write(body->data.data(), body->data.size() / 2);
                                 });
        break;
    case FaultKind::Oversize: {
        const std::size_t units =
            (OversizeTarget - std::min(OversizeTarget, body->data.size())) / body->padding.size() +
            1;
        const std::size_t total = body->data.size() + units * body->padding.size();
        res.set_content_provider(
            total, body->contentType,
            [body](std::size_t offset, std::size_t length, httplib::DataSink& sink) {
                const std::string& source = offset < body->data.size() ? body->data : body->padding;
                const std::size_t at = offset < body->data.size()
                                           ? offset
                                           : (offset - body->data.size()) % body->padding.size();
                const std::size_t n = std::min({length, ChunkSize, source.size() - at});
                return sink.write(source.data() + at, n);
            });
        break;
    }
    }
}
