#pragma once
// A real WebDAV server for the tests: Apache 2 with mod_dav, mod_dav_fs and
// basic authentication, on a free loopback port, with a configuration of its
// own in a temporary folder; started by the constructor and stopped by the
// destructor. As root it serves as www-data, which owns the DAV folder.
// The test program runs in a network namespace of its own (in-loopback-net),
// so the server is reachable from nowhere else.

#include <optional>
#include <string>

#include <QProcess>
#include <QTemporaryDir>
#include <QUrl>

struct TApacheOptions {
    std::optional<int> LimitRequestBody;  // bytes; a larger upload gets 413
    bool Tls = false;                     // https with a self-signed certificate
};

class TApacheDav {
public:
    // Throws std::runtime_error when the server cannot be set up or does
    // not start (its error log in the message).
    explicit TApacheDav(TApacheOptions options = {});
    ~TApacheDav();
    TApacheDav(const TApacheDav &) = delete;
    TApacheDav &operator=(const TApacheDav &) = delete;

    static const QString &User();
    static const QString &Password();

    quint16 Port() const { return m_port; }
    // The address the account is given: the DAV location, "/dav/".
    QUrl Url() const;
    // The folder it serves, on disk.
    std::string Folder() const;
    // Whether the machine has what the server needs; the reason when not.
    static std::optional<std::string> Missing();

private:
    void stop();

    QTemporaryDir m_root;
    QProcess m_server;
    quint16 m_port = 0;
    bool m_tls = false;
};
