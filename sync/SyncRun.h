#pragma once
// One sync of the installed database with a WebDAV server, on the calling
// thread's event loop: nothing waits for the network, and each database step
// (writing this computer's new segment, merging one fetched segment) is one
// short transaction between two requests.
//
// On the server: kivrotype/<computer id>/<segment file> (SyncSegments.h).
// A run writes this computer's new rows as a segment, lists the computers'
// folders, then for each folder uploads the segments held here that the
// server lacks (this computer's, and others' when a folder was lost: every
// computer holds every segment it merged) and fetches and merges those it
// does not hold. An upload is PUT under a temporary name and then MOVEd, so a
// cut upload never leaves a segment's name on a part of it; a cut download is
// not merged and is fetched again by the next run. A fault stops the run
// with its message; what was merged before it stays merged, and nothing
// merged is ever merged twice.

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include <QList>
#include <QObject>
#include <QSslError>
#include <QString>
#include <QUrl>

#include "SyncSegments.h"

class QNetworkAccessManager;
class QNetworkReply;
class TWebDavClient;

struct TSyncAccount {
    QUrl Server;  // the WebDAV folder the program's folder is made in
    QString User;
    QString Password;
};

enum class TSyncFault {
    None,
    Offline,       // no answer, or the connection broke part-way
    Unauthorized,  // 401: the password must be asked for again
    Quota,         // 507 or 413: the server took nothing more
    Certificate,   // https refused before anything was sent
    Server,        // any other refusal
    Database,      // the local database could not be read or written
};

struct TSyncOutcome {
    TSyncFault Fault = TSyncFault::None;
    QString Message;  // for the learner, in Chinese; set on success too
    int Uploaded = 0;
    int Downloaded = 0;  // segments fetched and merged
    int Corrupt = 0;     // segments fetched that failed their check, skipped
    std::int64_t RowsAdded = 0;
};

// The reasons of certificate errors, in Chinese, one each, joined by "，".
QString CertificateReasons(const QList<QSslError> &errors);

// The server's folder all computers share.
inline const QString kSyncFolder = QStringLiteral("kivrotype/");

class TSyncRun : public QObject {
    Q_OBJECT
public:
    explicit TSyncRun(TSyncAccount account, QObject *parent = nullptr);
    ~TSyncRun() override;
    TSyncRun(const TSyncRun &) = delete;
    TSyncRun &operator=(const TSyncRun &) = delete;

    // Starts the run; finished is emitted once, later, from the event loop.
    void Start();
    bool Running() const { return m_running; }

signals:
    void progress(const QString &text);
    void finished(const TSyncOutcome &outcome);

private:
    using TStep = std::function<void()>;
    using TOnAnswer = std::function<void(QNetworkReply &reply, int status)>;

    // Sends a request made by send; onAnswer gets every answer with an HTTP
    // status in accepted, anything else ends the run with its fault.
    void call(const std::function<QNetworkReply *()> &send, std::set<int> accepted,
              TOnAnswer onAnswer);
    void next();
    void fail(TSyncFault fault, const QString &message);
    void finish();

    void listComputers(QNetworkReply &reply, int status);
    void syncFolder(const std::string &computer, bool onServer);
    void exchange(const std::string &computer, const std::vector<std::string> &onServer);
    void upload(const std::string &computer, const std::string &name);
    void fetch(const std::string &computer, const std::string &name);

    TSyncAccount m_account;
    std::unique_ptr<QNetworkAccessManager> m_manager;
    std::unique_ptr<TWebDavClient> m_client;
    std::deque<TStep> m_steps;
    std::vector<THeldSegment> m_held;
    std::string m_own;  // this computer's id; empty before its first row
    QList<QSslError> m_sslErrors;
    TSyncOutcome m_outcome;
    bool m_running = false;
};
