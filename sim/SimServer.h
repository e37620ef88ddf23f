#pragma once

#include "SimOptions.h"
#include "World.h"

#include <httplib.h>

#include <condition_variable>
#include <memory>
#include <mutex>

// The HTTP side of the simulator: host list, highlight files and the control page,
// with the configured fault applied to the selected requests.
class SimServer {
public:
    explicit SimServer(const SimOptions& options);

    // Binds to 127.0.0.1; answers the port, or -1 when it cannot be had.
    int bind(int port);
    // Serves until stop(); returns false when serving failed.
    bool run();
    // Safe from any thread; wakes requests that sleep in a stall or delay.
    void stop();

private:
    struct Body {
        std::string data;
        std::string contentType;
        std::size_t truncateAt; // a cut inside the last record
        std::string padding;    // repeated to blow the body up
    };

    void handleHosts(const httplib::Request& req, httplib::Response& res);
    void handleHighlights(const httplib::Request& req, httplib::Response& res);
    void handleControl(const httplib::Request& req, httplib::Response& res);
    // stage=NAME&limit=L&players=P or unstage=NAME; false for a limit or count out of range.
    bool stage(const httplib::Request& req);

    // The fault to apply to this request of the kind counted by `counter`, if any.
    std::optional<FaultConfig> faultFor(long& counter, bool highlights);
    void reply(httplib::Response& res, std::shared_ptr<const Body> body,
               const std::optional<FaultConfig>& fault);
    // Waits, unless the server stops meanwhile; answers false then.
    bool pause(int milliseconds);

    httplib::Server m_server;
    std::string m_cookie;
    std::string m_identKey;

    std::mutex m_mutex; // guards the world, the fault and the counters
    World m_world;
    FaultConfig m_fault;
    long m_hostRequests = 0;
    long m_highlightRequests = 0;

    std::mutex m_logMutex;

    std::mutex m_stopMutex;
    std::condition_variable m_stopped;
    bool m_stopping = false;
};
