// Syncs through a real WebDAV server on loopback (Apache with mod_dav): two
// and three computers, each a database of its own, that played different
// toll gates end with the same cards, new-words book, leaderboard and logs
// as all their logs merged, whatever the order of their syncs; and each
// fault (no server, a wrong password, a full server, a cut transfer, a
// corrupted segment, a lost folder, an untrusted certificate) loses nothing.
#include <filesystem>
#include <fstream>
#include <iterator>

#include <QCoreApplication>
#include <QEventLoop>
#include <QTcpServer>
#include <QTimer>

#include "ApacheDav.h"
#include "ComputerIdentity.h"
#include "CutProxy.h"
#include "LearnerState.h"
#include "StoreFixture.h"
#include "SyncRun.h"
#include "UBookType.h"

namespace {

constexpr std::int64_t kT0 = 1'790'000'000'000;
constexpr int kBookWords = 150;

namespace fs = std::filesystem;

class SyncWebDav : public StoreFixture {
protected:
    void SetUp() override
    {
        if (const std::optional<std::string> missing = TApacheDav::Missing())
            GTEST_SKIP() << *missing;
        m_server = std::make_unique<TApacheDav>();
        m_book = ImportNumberedBook(Gbk("《课本》"), kBookWords);
        m_words = TableRows(GetBookTableName(m_book));
        for (TOtherDatabase *other : {&m_b, &m_c}) {
            TUsing use(other->Db(), *db);
            if (ImportNumberedBook(Gbk("《课本》"), kBookWords) != m_book)
                throw std::runtime_error("the books' ids differ");
        }
    }

    TDataInterface &A() { return *db; }
    TDataInterface &B() { return m_b.Db(); }
    TDataInterface &C() { return m_c.Db(); }

    TSyncAccount Account() const
    {
        return {m_server->Url(), TApacheDav::User(), TApacheDav::Password()};
    }

    TSyncOutcome Sync(TDataInterface &computer) { return Sync(computer, Account()); }

    TSyncOutcome Sync(TDataInterface &computer, const TSyncAccount &account)
    {
        TUsing use(computer, *db);
        TSyncRun run(account);
        std::optional<TSyncOutcome> outcome;
        QEventLoop loop;
        QObject::connect(&run, &TSyncRun::finished, &loop, [&](const TSyncOutcome &o) {
            outcome = o;
            loop.quit();
        });
        QTimer guard;
        guard.setSingleShot(true);
        QObject::connect(&guard, &QTimer::timeout, &loop, &QEventLoop::quit);
        guard.start(180'000);
        run.Start();
        EXPECT_TRUE(run.Running());
        loop.exec();
        if (!outcome) {
            ADD_FAILURE() << "the sync never finished";
            return {TSyncFault::Offline, QStringLiteral("never finished")};
        }
        return *outcome;
    }

    TWordMeeting Met(int row, TRating rating)
    {
        return meeting(m_words[static_cast<size_t>(row)], rating, m_book, row);
    }

    // Each computer plays toll gates of its own; what each wrote is kept
    // for the merge the syncs must equal.
    void PlayA(std::int64_t at = kT0)
    {
        TUsing use(A(), *db);
        std::vector<TWordMeeting> many;
        for (int row = 10; row < kBookWords; ++row)
            many.push_back(Met(row, row % 3 == 0 ? TRating::Again : TRating::Good));
        record(at, m_book, many);
        record(at + 10'000, m_book, {Met(0, TRating::Again), Met(1, TRating::Good)});
        AddGameRecord(Gbk("甲"), 100);
        Keep(A());
    }
    void PlayB(std::int64_t at = kT0)
    {
        TUsing use(B(), *db);
        ChangeMemoryParameters(otherParameters(), at - 5000);
        TWordMeeting slipped = Met(3, TRating::Again);
        slipped.Slips = {{1, '3', '4'}};
        record(at + 1000, m_book, {Met(0, TRating::Good), slipped});
        MarkWordKnown(m_words[4], at + 2000);
        AddGameRecord(Gbk("乙"), 80);
        Keep(B());
    }
    void PlayC(std::int64_t at = kT0)
    {
        TUsing use(C(), *db);
        record(at + 500, m_book, {Met(1, TRating::Again)});
        record(at + 20'000, m_book, {Met(3, TRating::Good), Met(5, TRating::Again)});
        AddGameRecord(Gbk("丙"), 120);
        Keep(C());
    }
    void Keep(TDataInterface &computer) { m_played.push_back(ReadLogBatch(computer.Connection())); }

    // All the logs played, merged into a computer that played nothing.
    TLearnerState AllMerged()
    {
        TOtherDatabase fresh;
        TUsing use(fresh.Db(), *db);
        ImportNumberedBook(Gbk("《课本》"), kBookWords);
        for (const TLogBatch &batch : m_played)
            MergeLogs(batch);
        return stateOf(fresh.Db());
    }

    std::string IdOf(TDataInterface &computer)
    {
        return ReadComputerIdentity(computer.Connection())->Id;
    }

    // The segment files on the server in a computer's folder.
    std::vector<std::string> SegmentsOnServer(const std::string &computer)
    {
        std::vector<std::string> names;
        const fs::path folder = fs::path(m_server->Folder()) / "kivrotype" / computer;
        if (!fs::exists(folder))
            return names;
        for (const fs::directory_entry &e : fs::directory_iterator(folder))
            if (ParseSegmentFileName(e.path().filename().string()))
                names.push_back(e.path().filename().string());
        return names;
    }

    std::int64_t ReviewsOf(TDataInterface &computer)
    {
        TSqlQuery q = computer.Connection().Query("SELECT count(*) FROM reviewlog");
        return q.Next() ? q.Integer(0) : -1;
    }

    std::unique_ptr<TApacheDav> m_server;
    int m_book = 0;
    TWordInfos m_words;
    TOtherDatabase m_b, m_c;
    std::vector<TLogBatch> m_played;
};

TEST_F(SyncWebDav, TwoComputersEndWithTheSameMemoryAsTheirLogsMerged)
{
    PlayA();
    PlayB();
    const TSyncOutcome first = Sync(A());
    EXPECT_EQ(first.Fault, TSyncFault::None) << first.Message.toStdString();
    EXPECT_EQ(first.Uploaded, 1);
    EXPECT_EQ(first.Message, QStringLiteral("同步完成：上传 1 个文件，下载 0 个文件。"));
    const TSyncOutcome second = Sync(B());
    EXPECT_EQ(second.Fault, TSyncFault::None) << second.Message.toStdString();
    EXPECT_EQ(second.Uploaded, 1);
    EXPECT_EQ(second.Downloaded, 1);
    EXPECT_GT(second.RowsAdded, kBookWords - 10);
    EXPECT_EQ(Sync(A()).Downloaded, 1);

    const TLearnerState merged = AllMerged();
    EXPECT_EQ(stateOf(A()), merged);
    EXPECT_EQ(stateOf(B()), merged);
    EXPECT_EQ(merged.Leaderboard.size(), 2u);
    EXPECT_EQ(SegmentsOnServer(IdOf(A())).size(), 1u);
    EXPECT_EQ(SegmentsOnServer(IdOf(B())).size(), 1u);

    // Nothing new: nothing moves, nothing changes.
    const auto stamp = A().Connection().ChangeStamp();
    const TSyncOutcome idle = Sync(A());
    EXPECT_EQ(idle.Fault, TSyncFault::None);
    EXPECT_EQ(idle.Uploaded + idle.Downloaded, 0);
    EXPECT_EQ(A().Connection().ChangeStamp(), stamp);
}

TEST_F(SyncWebDav, ThreeComputersInAnyOrderConvergeAndKeepConvergingAsTheyPlayOn)
{
    PlayA();
    PlayB();
    PlayC();
    for (TDataInterface *computer : {&C(), &A(), &B(), &C(), &A()})
        EXPECT_EQ(Sync(*computer).Fault, TSyncFault::None);
    TLearnerState merged = AllMerged();
    EXPECT_EQ(stateOf(A()), merged);
    EXPECT_EQ(stateOf(B()), merged);
    EXPECT_EQ(stateOf(C()), merged);

    // A second round, played after the first, synced in another order.
    PlayB(kT0 + 100'000);
    PlayA(kT0 + 200'000);
    for (TDataInterface *computer : {&A(), &C(), &B(), &A(), &C()})
        EXPECT_EQ(Sync(*computer).Fault, TSyncFault::None);
    merged = AllMerged();
    EXPECT_EQ(stateOf(A()), merged);
    EXPECT_EQ(stateOf(B()), merged);
    EXPECT_EQ(stateOf(C()), merged);
    EXPECT_EQ(merged.Leaderboard.size(), 5u);
    EXPECT_EQ(SegmentsOnServer(IdOf(A())).size(), 2u);
    EXPECT_EQ(SegmentsOnServer(IdOf(C())).size(), 1u);
}

TEST_F(SyncWebDav, NoServerOrAWrongPasswordSaysSoAndTheNextSyncSendsEverything)
{
    PlayA();
    const TLearnerState before = stateOf(A());
    TSyncAccount nobody = Account();
    {
        QTcpServer probe;  // a port nothing listens on once it is closed
        ASSERT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
        nobody.Server.setPort(probe.serverPort());
    }
    const TSyncOutcome offline = Sync(A(), nobody);
    EXPECT_EQ(offline.Fault, TSyncFault::Offline);
    EXPECT_EQ(offline.Message, QStringLiteral("无法连接同步服务器，或者连接中途断开了。本机的学习"
                                              "记录都在，下次同步时会接着传完。"));

    TSyncAccount wrong = Account();
    wrong.Password = QStringLiteral("not-the-password");
    const TSyncOutcome refused = Sync(A(), wrong);
    EXPECT_EQ(refused.Fault, TSyncFault::Unauthorized);
    EXPECT_EQ(refused.Message,
              QStringLiteral("同步服务器不接受这个用户名或密码，请重新输入密码。"));
    EXPECT_FALSE(fs::exists(fs::path(m_server->Folder()) / "kivrotype"));
    EXPECT_EQ(stateOf(A()), before);

    EXPECT_EQ(Sync(A()).Uploaded, 1);
    EXPECT_EQ(Sync(B()).Downloaded, 1);
    EXPECT_EQ(stateOf(B()), stateOf(A()));
}

TEST_F(SyncWebDav, AServerThatRefusesTheSizeLeavesTheLocalDataAsTheyWere)
{
    PlayA();
    const TLearnerState before = stateOf(A());
    m_server.reset();
    m_server = std::make_unique<TApacheDav>(TApacheOptions{64, false});
    const TSyncOutcome full = Sync(A());
    EXPECT_EQ(full.Fault, TSyncFault::Quota);
    EXPECT_EQ(full.Message, QStringLiteral("同步服务器的空间已满，或者不接受这么大的文件，没有上传"
                                           "成功。本机的学习记录没有改动。"));
    EXPECT_EQ(stateOf(A()), before);
    EXPECT_TRUE(SegmentsOnServer(IdOf(A())).empty());

    m_server.reset();
    m_server = std::make_unique<TApacheDav>();
    EXPECT_EQ(Sync(A()).Uploaded, 1);
    EXPECT_EQ(Sync(B()).Downloaded, 1);
    EXPECT_EQ(stateOf(B()), stateOf(A()));
}

TEST_F(SyncWebDav, AnUploadCutPartWayIsFinishedByTheNextSyncWithoutARowTwice)
{
    PlayA();
    PlayB();
    constexpr qint64 kKeep = 700;  // the request's head and a part of the body
    TCutProxy proxy(m_server->Port(), TCutProxy::TDirection::Up, "PUT /", kKeep);
    TSyncAccount cut = Account();
    cut.Server = proxy.Url(QStringLiteral("/dav/"));
    const TSyncOutcome broken = Sync(A(), cut);
    EXPECT_EQ(broken.Fault, TSyncFault::Offline);
    EXPECT_GT(proxy.Cuts(), 0);
    {
        TUsing use(A(), *db);
        const std::vector<THeldSegment> held = HeldSegments(A().Connection());
        ASSERT_EQ(held.size(), 1u);
        // Cut in the middle of the segment, not before it.
        EXPECT_GT(HeldSegmentFile(A().Connection(), held[0].Computer, held[0].Name).size(),
                  2 * kKeep);
    }
    EXPECT_TRUE(SegmentsOnServer(IdOf(A())).empty());

    EXPECT_EQ(Sync(A()).Uploaded, 1);
    EXPECT_EQ(Sync(B()).Fault, TSyncFault::None);
    EXPECT_EQ(Sync(A()).Fault, TSyncFault::None);
    EXPECT_EQ(stateOf(A()), AllMerged());
    EXPECT_EQ(stateOf(B()), stateOf(A()));
    EXPECT_EQ(ReviewsOf(B()), ReviewsOf(A()));
}

TEST_F(SyncWebDav, ADownloadCutPartWayMergesNothingAndIsFetchedWholeNextTime)
{
    PlayA();
    ASSERT_EQ(Sync(A()).Uploaded, 1);
    PlayB();
    const TLearnerState before = stateOf(B());
    TCutProxy proxy(m_server->Port(), TCutProxy::TDirection::Down, "HTTP/1.1 200 ", 600);
    TSyncAccount cut = Account();
    cut.Server = proxy.Url(QStringLiteral("/dav/"));
    const TSyncOutcome broken = Sync(B(), cut);
    EXPECT_EQ(broken.Fault, TSyncFault::Offline);
    EXPECT_GT(proxy.Cuts(), 0);
    EXPECT_EQ(stateOf(B()), before);
    {
        TUsing use(B(), *db);
        for (const THeldSegment &s : HeldSegments(B().Connection()))
            EXPECT_NE(s.Computer, IdOf(A()));
    }

    const TSyncOutcome whole = Sync(B());
    EXPECT_EQ(whole.Fault, TSyncFault::None);
    EXPECT_EQ(whole.Downloaded, 1);
    EXPECT_EQ(Sync(A()).Downloaded, 1);
    EXPECT_EQ(stateOf(B()), AllMerged());
    EXPECT_EQ(stateOf(A()), stateOf(B()));
}

TEST_F(SyncWebDav, ACorruptedSegmentIsSkippedWithAMessageAndFetchedAgainOnceWhole)
{
    PlayA();
    ASSERT_EQ(Sync(A()).Uploaded, 1);
    const std::vector<std::string> names = SegmentsOnServer(IdOf(A()));
    ASSERT_EQ(names.size(), 1u);
    const fs::path file = fs::path(m_server->Folder()) / "kivrotype" / IdOf(A()) / names[0];
    std::string bytes;
    {
        std::ifstream in(file, std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    bytes[bytes.size() / 2] = static_cast<char>(bytes[bytes.size() / 2] ^ 0x55);
    std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;

    PlayB();
    const TLearnerState before = stateOf(B());
    const TSyncOutcome skipped = Sync(B());
    EXPECT_EQ(skipped.Fault, TSyncFault::None);
    EXPECT_EQ(skipped.Corrupt, 1);
    EXPECT_EQ(skipped.Downloaded, 0);
    EXPECT_TRUE(skipped.Message.endsWith(
        QStringLiteral("服务器上有 1 个同步文件已损坏，已跳过，下次同步时再取。")))
        << skipped.Message.toStdString();
    EXPECT_EQ(stateOf(B()), before);
    // Still corrupted: skipped again, not taken as merged.
    EXPECT_EQ(Sync(B()).Corrupt, 1);

    // Removed by hand: A, which holds it, puts it back whole.
    fs::remove(file);
    EXPECT_EQ(Sync(A()).Uploaded, 1);
    const TSyncOutcome fetched = Sync(B());
    EXPECT_EQ(fetched.Corrupt, 0);
    EXPECT_EQ(fetched.Downloaded, 1);
    EXPECT_EQ(Sync(A()).Fault, TSyncFault::None);
    EXPECT_EQ(stateOf(B()), AllMerged());
    EXPECT_EQ(stateOf(A()), stateOf(B()));
}

TEST_F(SyncWebDav, AServerFolderDeletedByHandGetsEverySegmentBackFromAnyComputer)
{
    PlayA();
    PlayB();
    for (TDataInterface *computer : {&A(), &B(), &A()})
        EXPECT_EQ(Sync(*computer).Fault, TSyncFault::None);
    fs::remove_all(fs::path(m_server->Folder()) / "kivrotype");

    // A puts back its own segment and B's.
    const TSyncOutcome again = Sync(A());
    EXPECT_EQ(again.Fault, TSyncFault::None);
    EXPECT_EQ(again.Uploaded, 2);
    EXPECT_EQ(SegmentsOnServer(IdOf(B())).size(), 1u);
    // A computer that never saw B gets B's rows all the same.
    PlayC();
    EXPECT_EQ(Sync(C()).Downloaded, 2);
    EXPECT_EQ(Sync(A()).Downloaded, 1);
    EXPECT_EQ(Sync(B()).Downloaded, 1);
    const TLearnerState merged = AllMerged();
    EXPECT_EQ(stateOf(A()), merged);
    EXPECT_EQ(stateOf(B()), merged);
    EXPECT_EQ(stateOf(C()), merged);
}

TEST_F(SyncWebDav, AnHttpsServerWithAnUntrustedCertificateGetsNothingAndTheReasonIsNamed)
{
    PlayA();
    m_server.reset();
    m_server = std::make_unique<TApacheDav>(TApacheOptions{std::nullopt, true});
    const TSyncOutcome refused = Sync(A());
    EXPECT_EQ(refused.Fault, TSyncFault::Certificate);
    EXPECT_TRUE(refused.Message.startsWith(QStringLiteral("同步服务器的证书不可信：")))
        << refused.Message.toStdString();
    EXPECT_TRUE(refused.Message.contains(QStringLiteral("证书是服务器自己签发的")))
        << refused.Message.toStdString();
    EXPECT_TRUE(refused.Message.endsWith(QStringLiteral("为了安全，没有发送任何数据。")));
    EXPECT_FALSE(fs::exists(fs::path(m_server->Folder()) / "kivrotype"));
}

TEST_F(SyncWebDav, ARunDestroyedWhileItsServerKeepsItWaitingEndsWithoutAWord)
{
    PlayA();
    QTcpServer silent;  // accepts and never answers
    ASSERT_TRUE(silent.listen(QHostAddress::LocalHost, 0));
    TSyncAccount account = Account();
    account.Server.setPort(silent.serverPort());
    TUsing use(A(), *db);
    auto run = std::make_unique<TSyncRun>(account);
    bool finished = false;
    QObject::connect(run.get(), &TSyncRun::finished, [&finished] { finished = true; });
    QEventLoop loop;
    QObject::connect(&silent, &QTcpServer::newConnection, &loop, &QEventLoop::quit);
    QTimer::singleShot(60'000, &loop, &QEventLoop::quit);
    run->Start();
    loop.exec();
    ASSERT_TRUE(silent.hasPendingConnections()) << "the request never reached the server";
    EXPECT_TRUE(run->Running());
    run.reset();
    QCoreApplication::processEvents();
    EXPECT_FALSE(finished);
}

}  // namespace
