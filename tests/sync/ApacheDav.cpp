#include "ApacheDav.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <utility>
#include <vector>

#include <QFile>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>
#include <grp.h>
#include <pwd.h>
#include <unistd.h>

namespace {

const QString kApache = QStringLiteral("/usr/sbin/apache2");
const std::string kModules = "/usr/lib/apache2/modules/";
const char *const kServerUser = "www-data";

std::string run(const QString &program, const QStringList &arguments)
{
    QProcess p;
    p.start(program, arguments);
    if (!p.waitForFinished(60'000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        throw std::runtime_error(program.toStdString()
                                 + " failed: " + p.readAllStandardError().toStdString());
    return p.readAllStandardOutput().trimmed().toStdString();
}

// The server's user, looked up without the libc's shared buffer.
std::optional<std::pair<uid_t, gid_t>> serverUser()
{
    passwd entry{};
    passwd *found = nullptr;
    std::vector<char> buffer(16384);
    if (::getpwnam_r(kServerUser, &entry, buffer.data(), buffer.size(), &found) != 0 || !found)
        return std::nullopt;
    return std::pair{entry.pw_uid, entry.pw_gid};
}

void giveToServer(const std::string &path)
{
    const std::optional<std::pair<uid_t, gid_t>> user = serverUser();
    if (!user || ::chown(path.c_str(), user->first, user->second) != 0)
        throw std::runtime_error("cannot give " + path + " to " + kServerUser);
}

quint16 freePort()
{
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost, 0))
        throw std::runtime_error("no free loopback port: " + probe.errorString().toStdString());
    return probe.serverPort();
}

std::string fileText(const std::string &path)
{
    std::ifstream in(path);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace

const QString &TApacheDav::User()
{
    static const QString user = QStringLiteral("learner");
    return user;
}

const QString &TApacheDav::Password()
{
    static const QString password = QStringLiteral("app-password-1");
    return password;
}

std::optional<std::string> TApacheDav::Missing()
{
    if (!QFile::exists(kApache))
        return "no /usr/sbin/apache2 (Debian apache2-bin)";
    for (const char *module :
         {"mod_dav.so", "mod_dav_fs.so", "mod_auth_basic.so", "mod_authn_file.so", "mod_ssl.so"})
        if (!std::filesystem::exists(kModules + module))
            return std::string("no Apache module ") + module;
    if (!serverUser())
        return std::string("no user ") + kServerUser;
    if (::geteuid() != 0)
        return "not root: Apache cannot serve as www-data";
    return std::nullopt;
}

TApacheDav::TApacheDav(TApacheOptions options) : m_tls(options.Tls)
{
    if (const std::optional<std::string> missing = Missing())
        throw std::runtime_error(*missing);
    if (!m_root.isValid())
        throw std::runtime_error("no temporary folder");
    const std::string root = m_root.path().toStdString();
    namespace fs = std::filesystem;
    // The server's children run as www-data: they must get through the root.
    fs::permissions(root, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec
                              | fs::perms::others_read | fs::perms::others_exec);
    for (const char *sub : {"/www/dav", "/lock", "/run", "/logs"})
        fs::create_directories(root + sub);
    giveToServer(root + "/www/dav");
    giveToServer(root + "/lock");

    const std::string hash = run(QStringLiteral("openssl"),
                                 {QStringLiteral("passwd"), QStringLiteral("-apr1"), Password()});
    std::ofstream(root + "/htpasswd") << User().toStdString() << ':' << hash << '\n';
    if (m_tls)
        run(QStringLiteral("openssl"),
            {QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"),
             QStringLiteral("rsa:2048"), QStringLiteral("-nodes"), QStringLiteral("-days"),
             QStringLiteral("2"), QStringLiteral("-subj"), QStringLiteral("/CN=kivro.invalid"),
             QStringLiteral("-keyout"), QString::fromStdString(root + "/key.pem"),
             QStringLiteral("-out"), QString::fromStdString(root + "/cert.pem")});

    m_port = freePort();
    std::string modules;
    std::vector<std::pair<std::string, std::string>> loaded = {
        {"mpm_prefork_module", "mod_mpm_prefork.so"},
        {"authn_core_module", "mod_authn_core.so"},
        {"authn_file_module", "mod_authn_file.so"},
        {"authz_core_module", "mod_authz_core.so"},
        {"authz_user_module", "mod_authz_user.so"},
        {"auth_basic_module", "mod_auth_basic.so"},
        {"dav_module", "mod_dav.so"},
        {"dav_fs_module", "mod_dav_fs.so"}};
    if (m_tls) {
        loaded.emplace_back("socache_shmcb_module", "mod_socache_shmcb.so");
        loaded.emplace_back("ssl_module", "mod_ssl.so");
    }
    for (const auto &[name, file] : loaded)
        modules.append("LoadModule ")
            .append(name)
            .append(" ")
            .append(kModules)
            .append(file)
            .append("\n");
    std::ofstream conf(root + "/httpd.conf");
    conf << "ServerRoot \"" << root << "\"\n"
         << "ServerName 127.0.0.1\n"
         << "Listen 127.0.0.1:" << m_port << "\n"
         << "PidFile \"" << root << "/run/httpd.pid\"\n"
         << "DefaultRuntimeDir \"" << root << "/run\"\n"
         << "ErrorLog \"" << root << "/logs/error.log\"\n"
         << "LogLevel warn\n"
         << modules << "User " << kServerUser << "\nGroup " << kServerUser << "\n"
         << "StartServers 2\nMinSpareServers 1\nMaxSpareServers 4\nMaxRequestWorkers 16\n"
         << "DocumentRoot \"" << root << "/www\"\n"
         << "DavLockDB \"" << root << "/lock/DavLock\"\n";
    if (m_tls)
        conf << "SSLEngine on\nSSLCertificateFile \"" << root << "/cert.pem\"\n"
             << "SSLCertificateKeyFile \"" << root << "/key.pem\"\n";
    conf << "<Directory \"" << root << "/www/dav\">\n"
         << "  Dav On\n  AuthType Basic\n  AuthName \"kivro test\"\n"
         << "  AuthBasicProvider file\n  AuthUserFile \"" << root << "/htpasswd\"\n"
         << "  Require valid-user\n";
    if (options.LimitRequestBody)
        conf << "  LimitRequestBody " << *options.LimitRequestBody << "\n";
    conf << "</Directory>\n";
    conf.close();

    m_server.setProcessChannelMode(QProcess::MergedChannels);
    // Apache signals its whole process group when it stops: a group of its own.
    m_server.setChildProcessModifier([] { ::setsid(); });
    m_server.start(kApache, {QStringLiteral("-f"), QString::fromStdString(root + "/httpd.conf"),
                             QStringLiteral("-DFOREGROUND")});
    // Ready once it accepts a connection; a server that exits has failed.
    for (int attempt = 0; attempt < 200; ++attempt) {
        if (m_server.state() == QProcess::NotRunning)
            break;
        QTcpSocket socket;
        socket.connectToHost(QHostAddress::LocalHost, m_port);
        if (socket.waitForConnected(100))
            return;
        QThread::msleep(50);
    }
    const std::string log = m_server.readAll().toStdString() + fileText(root + "/logs/error.log");
    stop();
    throw std::runtime_error("Apache did not start: " + log);
}

TApacheDav::~TApacheDav()
{
    stop();
}

void TApacheDav::stop()
{
    if (m_server.state() == QProcess::NotRunning)
        return;
    m_server.terminate();
    if (!m_server.waitForFinished(10'000)) {
        m_server.kill();
        m_server.waitForFinished(5'000);
    }
}

QUrl TApacheDav::Url() const
{
    return QUrl(QStringLiteral("%1://127.0.0.1:%2/dav/")
                    .arg(m_tls ? QStringLiteral("https") : QStringLiteral("http"))
                    .arg(m_port));
}

std::string TApacheDav::Folder() const
{
    return m_root.path().toStdString() + "/www/dav";
}
