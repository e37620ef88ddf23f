#pragma once

#include <httplib.h>

#include <QByteArray>
#include <QMutex>
#include <QString>
#include <QUrl>
#include <functional>
#include <thread>

// A stand-in statistics service on an ephemeral loopback port, served from a thread.
class FakeService {
public:
    struct Request {
        std::string path;
        std::string query;
        httplib::Headers headers;
    };
    using Handler = std::function<void(const httplib::Request&, httplib::Response&)>;

    FakeService() {
        m_server.set_keep_alive_max_count(100);
        m_server.set_tcp_nodelay(true);
        m_server.Get(".*", [this](const httplib::Request& req, httplib::Response& res) {
            Handler handler;
            {
                QMutexLocker lock(&m_mutex);
                std::string query;
                for (const auto& [k, v] : req.params)
                    query += (query.empty() ? "" : "&") + k + "=" + v;
                m_requests.push_back({req.path, query, req.headers});
                handler = m_handler;
            }
            if (handler)
                handler(req, res);
            else
                res.status = 404;
        });
        m_port = m_server.bind_to_any_port("127.0.0.1");
        m_thread = std::thread([this] { m_server.listen_after_bind(); });
        while (!m_server.is_running())
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ~FakeService() {
        m_server.stop();
        m_thread.join();
    }

    void setHandler(Handler h) {
        QMutexLocker lock(&m_mutex);
        m_handler = std::move(h);
    }
    // Serves one fixed body with status 200 for every path.
    void serve(QByteArray body, const std::string& contentType = "application/octet-stream") {
        setHandler([body, contentType](const httplib::Request&, httplib::Response& res) {
            res.set_content(body.toStdString(), contentType);
        });
    }
    std::vector<Request> requests() {
        QMutexLocker lock(&m_mutex);
        return m_requests;
    }
    int port() const { return m_port; }
    QString baseUrl() const { return QStringLiteral("http://127.0.0.1:%1").arg(m_port); }
    QUrl url(const QString& pathAndQuery) const { return QUrl(baseUrl() + pathAndQuery); }

private:
    httplib::Server m_server;
    std::thread m_thread;
    int m_port = 0;
    QMutex m_mutex;
    Handler m_handler;
    std::vector<Request> m_requests;
};
