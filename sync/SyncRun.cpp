#include "SyncRun.h"

#include <algorithm>
#include <utility>

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QRegularExpression>

#include "ComputerIdentity.h"
#include "SyncLog.h"
#include "UDataInterface.h"
#include "WebDavClient.h"

namespace {

// A computer's folder: its id, as NewComputerId makes them. Anything else in
// the program's folder is someone else's and left alone.
bool isComputerId(const QString &name)
{
    static const QRegularExpression id(QStringLiteral("^[0-9a-f]{32}$"));
    return id.match(name).hasMatch();
}

QString folderOf(const std::string &computer)
{
    return kSyncFolder + QString::fromStdString(computer) + QLatin1Char('/');
}

QString pathOf(const std::string &computer, const std::string &name)
{
    return folderOf(computer) + QString::fromStdString(name);
}

// An error of the connection itself, whatever status came before it (a
// download cut after its status line).
bool isTransportError(QNetworkReply::NetworkError error)
{
    return error != QNetworkReply::NoError && error < QNetworkReply::ContentAccessDenied;
}

QString certificateReason(QSslError::SslError error)
{
    switch (error) {
    case QSslError::CertificateExpired:
        return QStringLiteral("证书已过期");
    case QSslError::CertificateNotYetValid:
        return QStringLiteral("证书尚未生效");
    case QSslError::SelfSignedCertificate:
    case QSslError::SelfSignedCertificateInChain:
        return QStringLiteral("证书是服务器自己签发的");
    case QSslError::HostNameMismatch:
        return QStringLiteral("证书上的名称与服务器地址不符");
    case QSslError::CertificateRevoked:
        return QStringLiteral("证书已被吊销");
    case QSslError::UnableToGetIssuerCertificate:
    case QSslError::UnableToGetLocalIssuerCertificate:
    case QSslError::UnableToVerifyFirstCertificate:
    case QSslError::CertificateUntrusted:
    case QSslError::InvalidCaCertificate:
        return QStringLiteral("证书的签发机构不受信任");
    default:
        return QStringLiteral("证书无法验证");
    }
}

}  // namespace

QString CertificateReasons(const QList<QSslError> &errors)
{
    QStringList reasons;
    for (const QSslError &e : errors) {
        const QString reason = certificateReason(e.error());
        if (!reasons.contains(reason))
            reasons << reason;
    }
    if (reasons.isEmpty())
        reasons << certificateReason(QSslError::UnspecifiedError);
    return reasons.join(QStringLiteral("，"));
}

TSyncRun::TSyncRun(TSyncAccount account, QObject *parent)
    : QObject(parent), m_account(std::move(account))
{
}

TSyncRun::~TSyncRun()
{
    // Replies the manager aborts as it goes must not reach a run half gone.
    m_running = false;
    if (m_manager)
        for (QNetworkReply *reply : m_manager->findChildren<QNetworkReply *>())
            reply->disconnect(this);
}

void TSyncRun::Start()
{
    if (m_running)
        return;
    m_running = true;
    m_outcome = {};
    m_steps.clear();
    m_sslErrors.clear();
    m_manager = std::make_unique<QNetworkAccessManager>();
    m_client = std::make_unique<TWebDavClient>(*m_manager, m_account.Server, m_account.User,
                                               m_account.Password);
    m_steps.emplace_back([this] {
        try {
            WriteOwnSegment();
            TSqlConnection &connection = DataInterface().Connection();
            m_held = HeldSegments(connection);
            const std::optional<TComputerIdentity> identity = ReadComputerIdentity(connection);
            m_own = identity ? identity->Id : std::string();
        } catch (const EDatabaseError &e) {
            qCWarning(lcSync) << "the segment to upload was not written:" << e.what();
            fail(TSyncFault::Database, QStringLiteral("同步没有开始：无法读取本机的学习记录（%1）")
                                           .arg(DatabaseFailureReason(e)));
            return;
        }
        emit progress(QStringLiteral("正在连接同步服务器…"));
        call([this] { return m_client->Propfind(kSyncFolder); }, {207, 404},
             [this](QNetworkReply &reply, int status) { listComputers(reply, status); });
    });
    QMetaObject::invokeMethod(this, &TSyncRun::next, Qt::QueuedConnection);
}

void TSyncRun::next()
{
    if (!m_running)
        return;
    if (m_steps.empty()) {
        finish();
        return;
    }
    TStep step = std::move(m_steps.front());
    m_steps.pop_front();
    step();
}

void TSyncRun::call(const std::function<QNetworkReply *()> &send, std::set<int> accepted,
                    TOnAnswer onAnswer)
{
    QNetworkReply *reply = send();
    connect(reply, &QNetworkReply::sslErrors, this,
            [this](const QList<QSslError> &errors) { m_sslErrors += errors; });
    connect(reply, &QNetworkReply::finished, this,
            [this, reply, accepted = std::move(accepted), onAnswer = std::move(onAnswer)] {
                reply->deleteLater();
                const int status =
                    reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
                const QNetworkReply::NetworkError error = reply->error();
                const QString what = reply->request().url().toDisplayString(QUrl::RemoveUserInfo);
                if (!m_sslErrors.isEmpty() || error == QNetworkReply::SslHandshakeFailedError) {
                    qCWarning(lcSync)
                        << "the certificate of" << what << "was refused:" << m_sslErrors;
                    fail(TSyncFault::Certificate,
                         QStringLiteral("同步服务器的证书不可信：%1。为了安全，没有发送任何数据。")
                             .arg(CertificateReasons(m_sslErrors)));
                } else if (isTransportError(error)) {
                    qCWarning(lcSync) << what << "failed:" << reply->errorString();
                    fail(TSyncFault::Offline,
                         QStringLiteral("无法连接同步服务器，或者连接中途断开了。本机的学习记录"
                                        "都在，下次同步时会接着传完。"));
                } else if (accepted.count(status) != 0) {
                    onAnswer(*reply, status);
                } else if (status == 401 || error == QNetworkReply::AuthenticationRequiredError) {
                    qCWarning(lcSync) << what << "refused the user name or password";
                    fail(TSyncFault::Unauthorized,
                         QStringLiteral("同步服务器不接受这个用户名或密码，请重新输入密码。"));
                } else if (status == 507 || status == 413) {
                    qCWarning(lcSync) << what << "refused for space:" << status;
                    fail(TSyncFault::Quota,
                         QStringLiteral("同步服务器的空间已满，或者不接受这么大的文件，没有上传"
                                        "成功。本机的学习记录没有改动。"));
                } else {
                    qCWarning(lcSync) << what << "answered" << status << reply->errorString();
                    fail(TSyncFault::Server,
                         QStringLiteral("同步服务器出错（HTTP %1），本机的学习记录没有改动，"
                                        "请稍后再试。")
                             .arg(status));
                }
            });
}

void TSyncRun::listComputers(QNetworkReply &reply, int status)
{
    std::set<std::string> onServer;
    if (status == 404) {
        // A new server, or the program's folder deleted: made again, and
        // every segment held goes up again below.
        m_steps.emplace_front([this] {
            call([this] { return m_client->Mkcol(kSyncFolder); }, {201, 405},
                 [this](QNetworkReply &, int) { next(); });
        });
    } else {
        for (const TDavEntry &entry : ParsePropfind(reply.readAll(), reply.request().url()))
            if (entry.Folder && isComputerId(entry.Name))
                onServer.insert(entry.Name.toStdString());
    }
    std::vector<std::string> computers;
    const auto add = [&computers](const std::string &c) {
        if (std::find(computers.begin(), computers.end(), c) == computers.end())
            computers.push_back(c);
    };
    // This computer's folder first: its new rows are what the others wait for.
    for (const THeldSegment &s : m_held)
        if (s.Computer == m_own)
            add(m_own);
    for (const THeldSegment &s : m_held)
        add(s.Computer);
    for (const std::string &c : onServer)
        add(c);
    for (const std::string &c : computers)
        m_steps.emplace_back([this, c, there = onServer.count(c) != 0] { syncFolder(c, there); });
    next();
}

void TSyncRun::syncFolder(const std::string &computer, bool onServer)
{
    const auto makeFolder = [this, computer] {
        call([this, computer] { return m_client->Mkcol(folderOf(computer)); }, {201, 405},
             [this, computer](QNetworkReply &, int) { exchange(computer, {}); });
    };
    if (!onServer) {
        makeFolder();
        return;
    }
    call([this, computer] { return m_client->Propfind(folderOf(computer)); }, {207, 404},
         [this, computer, makeFolder](QNetworkReply &reply, int status) {
             if (status == 404) {
                 makeFolder();
                 return;
             }
             std::vector<std::string> names;
             for (const TDavEntry &entry : ParsePropfind(reply.readAll(), reply.request().url()))
                 if (!entry.Folder)
                     names.push_back(entry.Name.toStdString());
             exchange(computer, names);
         });
}

void TSyncRun::exchange(const std::string &computer, const std::vector<std::string> &onServer)
{
    std::vector<TStep> steps;
    std::set<std::string> held;
    for (const THeldSegment &s : m_held)
        if (s.Computer == computer)
            held.insert(s.Name);
    for (const std::string &name : held)
        if (std::find(onServer.begin(), onServer.end(), name) == onServer.end())
            steps.emplace_back([this, computer, name] { upload(computer, name); });
    for (const std::string &name : onServer)
        if (ParseSegmentFileName(name) && held.count(name) == 0)
            steps.emplace_back([this, computer, name] { fetch(computer, name); });
    m_steps.insert(m_steps.begin(), steps.begin(), steps.end());
    next();
}

void TSyncRun::upload(const std::string &computer, const std::string &name)
{
    QByteArray file;
    try {
        file = HeldSegmentFile(DataInterface().Connection(), computer, name);
    } catch (const EDatabaseError &e) {
        qCWarning(lcSync) << "the held segment" << name.c_str() << "does not read:" << e.what();
        fail(
            TSyncFault::Database,
            QStringLiteral("同步中断：无法读取本机的学习记录（%1）").arg(DatabaseFailureReason(e)));
        return;
    }
    emit progress(QStringLiteral("正在上传 %1…").arg(QString::fromStdString(name)));
    const QString part = pathOf(computer, name) + QStringLiteral(".part");
    call([this, part, file] { return m_client->Put(part, file); }, {200, 201, 204},
         [this, part, computer, name](QNetworkReply &, int) {
             call([this, part, computer,
                   name] { return m_client->Move(part, pathOf(computer, name)); },
                  {201, 204},
                  [this](QNetworkReply &, int) {
                      ++m_outcome.Uploaded;
                      next();
                  });
         });
}

void TSyncRun::fetch(const std::string &computer, const std::string &name)
{
    emit progress(QStringLiteral("正在下载 %1…").arg(QString::fromStdString(name)));
    call([this, computer, name] { return m_client->Get(pathOf(computer, name)); }, {200},
         [this, computer, name](QNetworkReply &reply, int) {
             const QByteArray file = reply.readAll();
             try {
                 const TMergeResult merged = MergeFetchedSegment(computer, name, file);
                 ++m_outcome.Downloaded;
                 m_outcome.RowsAdded += merged.Added;
                 m_held.push_back({computer, ParseSegmentFileName(name)->Number, name});
             } catch (const ESegmentError &e) {
                 // Not held, so the next run fetches it again.
                 qCWarning(lcSync)
                     << "skipped the segment" << pathOf(computer, name) << ":" << e.what();
                 ++m_outcome.Corrupt;
             } catch (const EDatabaseError &e) {
                 qCWarning(lcSync)
                     << "the segment" << pathOf(computer, name) << "was not merged:" << e.what();
                 fail(TSyncFault::Database, QStringLiteral("同步中断：无法写入本机的学习记录（%1）")
                                                .arg(DatabaseFailureReason(e)));
                 return;
             }
             next();
         });
}

void TSyncRun::fail(TSyncFault fault, const QString &message)
{
    m_outcome.Fault = fault;
    m_outcome.Message = message;
    finish();
}

void TSyncRun::finish()
{
    if (!m_running)
        return;
    m_running = false;
    m_steps.clear();
    if (m_outcome.Fault == TSyncFault::None)
        m_outcome.Message = QStringLiteral("同步完成：上传 %1 个文件，下载 %2 个文件。")
                                .arg(m_outcome.Uploaded)
                                .arg(m_outcome.Downloaded);
    if (m_outcome.Corrupt > 0)
        m_outcome.Message +=
            QStringLiteral("服务器上有 %1 个同步文件已损坏，已跳过，下次同步时再取。")
                .arg(m_outcome.Corrupt);
    // The manager goes once its replies are done with.
    m_client.reset();
    m_manager.release()->deleteLater();
    emit finished(m_outcome);
}
