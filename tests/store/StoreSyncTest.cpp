// One learner on several computers: each computer's identity, the global ids
// of the rows that travel, the merge of two computers' logs, and the backup
// and restore built on it.
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include <QTemporaryDir>

#include "ComputerIdentity.h"
#include "LearningBackup.h"
#include "LogMerge.h"
#include "MemoryParameters.h"
#include "MemoryTables.h"
#include "SchemaVersion.h"
#include "LearnerState.h"
#include "StoreFixture.h"
#include "UBookType.h"
#include "WordMemory.h"

namespace {

constexpr std::int64_t kT0 = 1'780'000'000'000;

std::string fileBytes(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class StoreIdentity : public StoreFixture {};

TEST_F(StoreIdentity, IsMadeOnceAndKeptWhileTheMachineAndFolderStayTheSame)
{
    EXPECT_FALSE(ReadComputerIdentity(db->Connection()));
    const std::string id = EnsureComputerIdentity(db->Connection(), "machine-a", "/home/a/data");
    EXPECT_EQ(id.size(), 32u);
    EXPECT_EQ(id.find_first_not_of("0123456789abcdef"), std::string::npos);
    const auto stamp = db->Connection().ChangeStamp();
    EXPECT_EQ(EnsureComputerIdentity(db->Connection(), "machine-a", "/home/a/data"), id);
    EXPECT_EQ(db->Connection().ChangeStamp(), stamp);  // nothing written the second time
    const std::optional<TComputerIdentity> stored = ReadComputerIdentity(db->Connection());
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->MachineId, "machine-a");
    EXPECT_EQ(stored->Folder, "/home/a/data");
}

TEST_F(StoreIdentity, AnotherMachineOrFolderGetsANewIdNumberedFromOne)
{
    const std::string first = EnsureComputerIdentity(db->Connection(), "machine-a", "/a");
    {
        TSqlTransaction t(db->Connection());
        EXPECT_EQ(ReserveGlobalIds(t, 5, "/a").First, 1);
        t.Commit();
    }
    const std::string moved = EnsureComputerIdentity(db->Connection(), "machine-a", "/b");
    EXPECT_NE(moved, first);
    const std::string copied = EnsureComputerIdentity(db->Connection(), "machine-b", "/b");
    EXPECT_NE(copied, moved);
    EXPECT_NE(copied, first);
    TSqlTransaction t(db->Connection());
    const TGlobalIdRange range = ReserveGlobalIds(t, 1, "/b");
    EXPECT_EQ(range.Computer, copied);
    EXPECT_EQ(range.First, 1);
}

TEST_F(StoreIdentity, AnIdMadeByTheSchemaStepIsGivenItsMachineAndFolderNotReplaced)
{
    db->Connection().Execute(
        "INSERT INTO computer(slot, id, machineid, folder, nextseq) VALUES(1, 'abc', '', '', 7)");
    EXPECT_EQ(EnsureComputerIdentity(db->Connection(), "m", "/f"), "abc");
    EXPECT_EQ(ReadComputerIdentity(db->Connection())->NextSequence, 7);
    EXPECT_EQ(ReadComputerIdentity(db->Connection())->Folder, "/f");
}

TEST_F(StoreIdentity, AFolderCopiedElsewhereWritesUnderANewIdAndKeepsTheOldRowsIds)
{
    const int book = ImportNumberedBook(Gbk("《课本》"), 3);
    record(kT0, book, {meeting(TableRows(GetBookTableName(book))[0], TRating::Good, book, 0)});
    const std::string original = ReadComputerIdentity(db->Connection())->Id;
    EXPECT_EQ(ReadComputerIdentity(db->Connection())->Folder, DatabaseFolderOf(DatabasePath()));
    EXPECT_EQ(ReadComputerIdentity(db->Connection())->MachineId, ReadMachineId());
    EXPECT_EQ(
        EnsureComputerIdentity(db->Connection(), ReadMachineId(), DatabaseFolderOf(DatabasePath())),
        original);
    db->CloseDatabase();

    QTemporaryDir elsewhere;
    const std::string copy = elsewhere.path().toStdString() + "/kivrotype.mdb";
    std::filesystem::copy_file(DatabasePath(), copy);
    ASSERT_TRUE(db->ConnectDatabaseFile(copy));
    const std::string fresh =
        EnsureComputerIdentity(db->Connection(), ReadMachineId(), DatabaseFolderOf(copy));
    EXPECT_NE(fresh, original);
    record(kT0 + 1000, book,
           {meeting(TableRows(GetBookTableName(book))[1], TRating::Good, book, 1)});
    EXPECT_EQ(Scalar("SELECT count(*) FROM reviewlog WHERE origin = '" + original + "'"), 1);
    EXPECT_EQ(Scalar("SELECT count(*) FROM reviewlog WHERE origin = '" + fresh + "'"), 1);
}

class StoreGlobalIds : public StoreFixture {
protected:
    // Every row of the tables that travel has a global id of this computer,
    // none twice.
    void ExpectEveryRowNumbered(const std::string &id)
    {
        std::set<std::int64_t> sequences;
        for (const std::string &table : GlobalIdTables()) {
            std::string where = table == "bookinfo" ? " WHERE booktype = 0 AND bookclass <> 8" : "";
            std::string sql = "SELECT origin, originseq FROM " + table;
            sql += where;
            TSqlQuery rows = db->Query(sql);
            while (rows.Next()) {
                EXPECT_EQ(rows.Text(0), id) << table;
                EXPECT_TRUE(sequences.insert(rows.Integer(1)).second) << table;
            }
        }
        EXPECT_GT(ReadComputerIdentity(db->Connection())->NextSequence, *sequences.rbegin());
    }
};

TEST_F(StoreGlobalIds, EveryNewRowThatTravelsIsNumberedInOneSequence)
{
    const int book = ImportNumberedBook(Gbk("《课本》"), 4);
    const TWordInfos words = TableRows(GetBookTableName(book));
    TWordMeeting slipped = meeting(words[0], TRating::Again, book, 0);
    slipped.Slips = {{0, 'w', 'q'}, {1, '1', '2'}};
    record(kT0, book, {slipped, meeting(words[1], TRating::Good, book, 1)});
    MarkWordKnown(words[2], kT0 + 10);
    ChangeMemoryParameters(otherParameters(), kT0 + 20);
    AddGameRecord(Gbk("甲"), 10);
    const std::string id = ReadComputerIdentity(db->Connection())->Id;
    ExpectEveryRowNumbered(id);
    EXPECT_EQ(Scalar("SELECT count(*) FROM reviewlog WHERE originseq IS NOT NULL"), 3);
    EXPECT_EQ(Scalar("SELECT count(*) FROM wordslip WHERE originseq IS NOT NULL"), 2);
    // The new-words book is made from the logs on each computer: it has none.
    EXPECT_EQ(Scalar("SELECT count(*) FROM bookinfo WHERE bookclass = 8 AND origin IS NULL"), 1);
    // What the review log holds of each meeting, for another computer's counts.
    TSqlQuery row = db->Query(
        "SELECT seen, rightcount, missed, bookid, bookrow FROM reviewlog WHERE rating = 1");
    ASSERT_TRUE(row.Next());
    EXPECT_EQ(row.Integer(0), 1);
    EXPECT_EQ(row.Integer(1), 0);
    EXPECT_EQ(row.Integer(2), 1);
    EXPECT_EQ(row.Integer(3), book);
    EXPECT_EQ(row.Integer(4), 0);
}

class StoreGlobalIdMigration : public StoreGlobalIds {
protected:
    // The file as an older program left it: the catalogue and scores as first
    // shipped, the memory tables of version 2 (or 3), rows in all of them.
    void MakeOldFile(int version)
    {
        {
            TSqlTransaction t(db->Connection());
            for (const char *table : {"bookinfo", "gamerecord", "wordmemory", "wordslip",
                                      "reviewlog", "playlog", "memoryparams", "computer"})
                t.Execute(std::string("DROP TABLE IF EXISTS ") + table);
            t.Execute("CREATE TABLE bookinfo(id INTEGER NOT NULL PRIMARY KEY, bookname TEXT NOT "
                      "NULL DEFAULT '', wordnumber INTEGER NOT NULL DEFAULT 0, storetablename "
                      "TEXT NOT NULL DEFAULT '', booktype INTEGER NOT NULL DEFAULT 0, bookclass "
                      "INTEGER NOT NULL DEFAULT 0, isdefault INTEGER NOT NULL DEFAULT 0, "
                      "UNIQUE(bookname, booktype))");
            t.Execute("CREATE TABLE gamerecord(name TEXT NOT NULL DEFAULT '', score INTEGER NOT "
                      "NULL DEFAULT 0, recoretime DATE)");
            CreateMemoryTables(t);
            if (version >= 3)
                AddTypingAndParameterTables(t);
            t.Execute("INSERT INTO bookinfo VALUES(1, 'book', 2, 'lib1', 0, 4, 1)");
            t.Execute("INSERT INTO bookinfo VALUES(2, 'book', 2, 'randomlib1', 1, 4, 0)");
            t.Execute("INSERT INTO bookinfo VALUES(3, '《我的生词本》', 1, 'lib3', 0, 8, 1)");
            t.Execute("INSERT INTO gamerecord VALUES('a', 5, '2026-01-01')");
            t.Execute("INSERT INTO gamerecord VALUES('b', 7, '2026-01-02')");
            for (int k = 0; k < 3; ++k)
                t.Execute("INSERT INTO reviewlog(spelling, at, rating, stability, difficulty, "
                          "due, state) VALUES('apple', ?, 3, 1, 5, 9, 2)",
                          {kT0 + k});
            t.Execute("INSERT INTO wordslip(spelling, at, position, expected, typed) "
                      "VALUES('apple', 1, 0, 97, 98)");
            t.Execute("INSERT INTO playlog(at, bookid, tollgate, level, rightcount, errorcount) "
                      "VALUES(1, 1, 1, 1, 3, 0)");
            if (version >= 3)
                t.Execute("INSERT INTO memoryparams(at, retention, weights) VALUES(1, 0.9, 'x')");
            StampSchemaVersion(t, version);
            t.Commit();
        }
        db->CloseDatabase();
    }

    void ExpectMigratedFrom(int version)
    {
        MakeOldFile(version);
        const std::string before = fileBytes(DatabasePath());
        ASSERT_TRUE(db->ConnectDatabase());
        EXPECT_EQ(ReadSchemaVersion(db->Connection()), CurrentSchemaVersion());
        EXPECT_EQ(fileBytes(SchemaBackupPath(DatabasePath())), before);
        const std::optional<TComputerIdentity> identity = ReadComputerIdentity(db->Connection());
        ASSERT_TRUE(identity);
        ExpectEveryRowNumbered(identity->Id);
        EXPECT_EQ(Scalar("SELECT count(*) FROM reviewlog WHERE origin IS NOT NULL"), 3);
        EXPECT_EQ(Scalar("SELECT count(*) FROM gamerecord WHERE origin IS NOT NULL"), 2);
        EXPECT_EQ(Scalar("SELECT count(*) FROM bookinfo WHERE origin IS NOT NULL"), 1);
        // Older rows keep their order in the sequence.
        EXPECT_EQ(Scalar("SELECT count(*) FROM reviewlog a JOIN reviewlog b "
                         "ON a.id < b.id AND a.originseq > b.originseq"),
                  0);
        // The review log's counts were not kept then: unknown, not zero.
        EXPECT_EQ(Scalar("SELECT count(*) FROM reviewlog WHERE seen IS NULL"), 3);
        // The next row continues the sequence.
        AddGameRecord(Gbk("新"), 1);
        ExpectEveryRowNumbered(identity->Id);
    }
};

TEST_F(StoreGlobalIdMigration, AVersionTwoFileGetsEveryRowNumbered)
{
    ExpectMigratedFrom(2);
}

TEST_F(StoreGlobalIdMigration, AVersionThreeFileGetsEveryRowNumbered)
{
    ExpectMigratedFrom(3);
}

// Two computers that played different things, each a folder of its own.
class StoreLogMerge : public StoreFixture {
protected:
    StoreLogMerge()
    {
        m_bookId = ImportNumberedBook(Gbk("《课本》"), 8);
        m_words = TableRows(GetBookTableName(m_bookId));
        {
            TUsing use(m_other.Db(), *db);
            if (ImportNumberedBook(Gbk("《课本》"), 8) != m_bookId)
                throw std::runtime_error("the books' ids differ");
        }
    }

    TWordMeeting Met(int row, TRating rating)
    {
        return meeting(m_words[row], rating, m_bookId, row);
    }

    // Computer A: two words missed, a score; a word met at the same
    // millisecond as on B.
    void PlayA()
    {
        record(kT0, m_bookId, {Met(0, TRating::Again), Met(1, TRating::Again)});
        record(kT0 + 6000, m_bookId, {Met(4, TRating::Again)});
        AddGameRecord(Gbk("甲"), 100);
    }
    // Computer B: other parameters, a word A missed typed right, a new one
    // missed with a slip, a word A missed right three times, one marked known.
    void PlayB()
    {
        TUsing use(m_other.Db(), *db);
        ChangeMemoryParameters(otherParameters(), kT0 - 5000);
        TWordMeeting slipped = Met(2, TRating::Again);
        slipped.Slips = {{1, '3', '4'}};
        record(kT0 + 1000, m_bookId, {Met(0, TRating::Good), slipped});
        for (int k = 0; k < 3; ++k)
            record(kT0 + 2000 + std::int64_t{1000} * k, m_bookId, {Met(1, TRating::Good)});
        MarkWordKnown(m_words[3], kT0 + 5000);
        record(kT0 + 6000, m_bookId, {Met(4, TRating::Good)});
        AddGameRecord(Gbk("乙"), 100);
        AddGameRecord(Gbk("丙"), 50);
    }

    TLogBatch BatchOf(const std::string &path)
    {
        TSqlConnection c(path, DatabasePassword(), TSqlConnection::OpenMode::ExistingOnly);
        return ReadLogBatch(c);
    }

    int m_bookId = 0;
    TWordInfos m_words;
    TOtherDatabase m_other;
};

TEST_F(StoreLogMerge, TwoComputersMergedEitherWayHoldTheSameMemoryAsAllTheirLogsReplayed)
{
    PlayA();
    PlayB();
    const TLogBatch fromA = BatchOf(DatabasePath());
    TLogBatch fromB;
    {
        TUsing use(m_other.Db(), *db);
        fromB = ReadLogBatch(m_other.Db().Connection());
    }

    const TMergeResult intoA = MergeLogs(fromB);
    EXPECT_EQ(intoA.Skipped, 0);
    EXPECT_EQ(intoA.Added, 7 + 1 + 5 + 1 + 2);  // reviews, slip, plays, parameters, scores
    const TLearnerState a = stateOf(*db);
    TLearnerState b;
    {
        TUsing use(m_other.Db(), *db);
        MergeLogs(fromA);
        b = stateOf(m_other.Db());
    }
    EXPECT_EQ(a, b);

    // Both logs merged into computers that played nothing, in both orders.
    for (const bool aFirst : {true, false}) {
        TOtherDatabase fresh;
        TUsing use(fresh.Db(), *db);
        MergeLogs(aFirst ? fromA : fromB);
        MergeLogs(aFirst ? fromB : fromA);
        EXPECT_EQ(stateOf(fresh.Db()), a) << (aFirst ? "A first" : "B first");
    }

    // Replayed by hand: w1 missed on A, then right on B, with B's parameters.
    const TFsrsParameters p = otherParameters();
    const TMemoryCard w1 =
        ReviewCardWith(ReviewCardWith({}, TRating::Again, kT0, p), TRating::Good, kT0 + 1000, p);
    const std::optional<TWordMemory> m = ReadWordMemory(m_words[0].Spelling);
    ASSERT_TRUE(m);
    EXPECT_EQ(m->Card.Stability, w1.Stability);
    EXPECT_EQ(m->Card.Difficulty, w1.Difficulty);
    EXPECT_EQ(m->Card.Due, w1.Due);
    EXPECT_EQ(m->Card.Reps, w1.Reps);
    EXPECT_EQ(m->Card.Lapses, w1.Lapses);
    EXPECT_EQ(m->Seen, 2);
    EXPECT_EQ(m->Right, 1);
    EXPECT_EQ(m->Missed, 1);
    EXPECT_EQ(m->FirstSeen, kT0);
    EXPECT_EQ(m->LastSeen, kT0 + 1000);
    EXPECT_EQ(m->RightStreak, 1);
    EXPECT_EQ(ReadWordMemory(m_words[2].Spelling)->Slips, 1);
    EXPECT_EQ(ReadWordMemory(m_words[3].Spelling)->Card.Due, kT0 + 5000 + kKnownWordDays * DayMs);
    EXPECT_EQ(ReadMemoryParameters(), p);
    // w2 missed on A, then right three times on B: out of the book again;
    // w5 was missed and typed right at one instant, ordered alike everywhere.
    std::vector<std::string> inBook;
    for (const TWordInfo &w : NewWordsBookWords())
        inBook.push_back(w.Spelling);
    EXPECT_EQ(inBook[0], m_words[0].Spelling);
    EXPECT_EQ(inBook[1], m_words[2].Spelling);
    EXPECT_LE(inBook.size(), 3u);
    EXPECT_EQ(NewWordsBookWords()[1], m_words[2]);  // its meaning came from B's book
    ASSERT_EQ(a.Leaderboard.size(), 3u);
    EXPECT_EQ(a.Leaderboard[2], "3 " + Gbk("丙") + " 50");
}

TEST_F(StoreLogMerge, MergingTheSameRowsAgainChangesNothing)
{
    PlayA();
    PlayB();
    TLogBatch fromB;
    {
        TUsing use(m_other.Db(), *db);
        fromB = ReadLogBatch(m_other.Db().Connection());
    }
    MergeLogs(fromB);
    const TLearnerState once = stateOf(*db);
    const auto stamp = db->Connection().ChangeStamp();
    const TMergeResult again = MergeLogs(fromB);
    EXPECT_EQ(again.Added, 0);
    EXPECT_GT(again.Skipped, 0);
    EXPECT_EQ(db->Connection().ChangeStamp(), stamp);
    EXPECT_EQ(stateOf(*db), once);
    // Its own rows coming back change nothing either.
    EXPECT_EQ(MergeLogs(BatchOf(DatabasePath())).Added, 0);
}

TEST_F(StoreLogMerge, ARowWithoutAGlobalIdIsRefusedAndNothingIsMerged)
{
    PlayB();
    TLogBatch fromB;
    {
        TUsing use(m_other.Db(), *db);
        fromB = ReadLogBatch(m_other.Db().Connection());
    }
    const TLearnerState before = stateOf(*db);
    fromB.Tables.back().Rows.back()[0] = TSqlNull{};
    EXPECT_THROW(MergeLogs(fromB), EDatabaseError);
    fromB.Tables.back().Rows.back().pop_back();
    EXPECT_THROW(MergeLogs(fromB), EDatabaseError);
    EXPECT_EQ(stateOf(*db), before);
}

TEST_F(StoreLogMerge, AWordAddedByHandStaysInTheBookOfBothComputers)
{
    PlayA();
    ASSERT_TRUE(AddToNewWordsBook(m_words[7]));  // never met: in no log
    PlayB();
    TLogBatch fromB;
    TLogBatch fromA = BatchOf(DatabasePath());
    {
        TUsing use(m_other.Db(), *db);
        fromB = ReadLogBatch(m_other.Db().Connection());
        MergeLogs(fromA);
    }
    MergeLogs(fromB);
    const TLearnerState a = stateOf(*db);
    EXPECT_EQ(a, stateOf(m_other.Db()));
    ASSERT_FALSE(a.NewWords.empty());
    EXPECT_EQ(a.NewWords.back(),
              m_words[7].Spelling + "|" + m_words[7].Pronunciation + "|" + m_words[7].Meaning);
}

class StoreLearningBackup : public StoreLogMerge {
protected:
    std::string BackupFile() const { return dir.Path("backup.mdb"); }
};

TEST_F(StoreLearningBackup, ARestoreIntoAnEmptyFolderGivesEveryRowBackAndASecondChangesNothing)
{
    PlayA();
    BackupLearningRecords(BackupFile());
    // Keyed like the database: unreadable without its key.
    EXPECT_THROW(TSqlConnection(BackupFile(), "", TSqlConnection::OpenMode::ReadOnly),
                 EDatabaseError);
    // Made while the game goes on: what is played after is not in it.
    record(kT0 + 9000, m_bookId, {Met(6, TRating::Again)});
    const TLearnerState original = stateOf(*db);

    TUsing use(m_other.Db(), *db);
    const TMergeResult first = RestoreLearningRecords(BackupFile());
    EXPECT_GT(first.Added, 0);
    EXPECT_TRUE(std::filesystem::exists(BeforeRestorePath(m_other.Path())));
    TLearnerState restored = stateOf(m_other.Db());
    {
        TUsing back(*db, m_other.Db());
        EXPECT_EQ(MergeLogs(BatchOf(BackupFile())).Added, 0);  // the original holds them all
    }
    // Every row as the backup had it: the original less its last toll gate.
    TLearnerState expected = original;
    TSqlConnection backup(BackupFile(), DatabasePassword(), TSqlConnection::OpenMode::ReadOnly);
    EXPECT_EQ(restored.Memory, rowsOf(backup, "wordmemory", "spelling"));
    EXPECT_EQ(restored.Reviews, rowsOf(backup, "reviewlog", "origin, originseq"));
    EXPECT_EQ(restored.Plays, rowsOf(backup, "playlog", "origin, originseq"));
    EXPECT_EQ(restored.Scores, rowsOf(backup, "gamerecord", "origin, originseq"));
    EXPECT_EQ(restored.Reviews.size() + 1, expected.Reviews.size());
    EXPECT_EQ(restored.Leaderboard, expected.Leaderboard);
    ASSERT_EQ(restored.NewWords.size(), 3u);
    EXPECT_EQ(restored.NewWords,
              std::vector<std::string>(expected.NewWords.begin(), expected.NewWords.begin() + 3));

    const auto stamp = m_other.Db().Connection().ChangeStamp();
    EXPECT_EQ(RestoreLearningRecords(BackupFile()).Added, 0);
    EXPECT_EQ(m_other.Db().Connection().ChangeStamp(), stamp);
    EXPECT_EQ(stateOf(m_other.Db()), restored);
}

TEST_F(StoreLearningBackup, AFileThatIsNoBackupIsRefusedInChineseAndNothingChanges)
{
    PlayA();
    const TLearnerState before = stateOf(*db);
    dir.WriteFile("not-a-backup.mdb", std::string(4096, 'x'));
    try {
        RestoreLearningRecords(dir.Path("not-a-backup.mdb"));
        ADD_FAILURE() << "no error";
    } catch (const ELearningBackupError &e) {
        EXPECT_EQ(e.Reason(), QStringLiteral("这个文件不是学习记录的备份，或者已经损坏。"));
    }
    try {
        RestoreLearningRecords(dir.Path("missing.mdb"));
        ADD_FAILURE() << "no error";
    } catch (const ELearningBackupError &e) {
        EXPECT_EQ(e.Reason(), QStringLiteral("无法读取这个文件。"));
    }
    EXPECT_EQ(stateOf(*db), before);
    EXPECT_FALSE(std::filesystem::exists(BeforeRestorePath(DatabasePath())));
}

TEST_F(StoreLearningBackup, ABackupIntoAFolderThatCannotBeWrittenSaysSoAndLeavesNoPart)
{
    PlayA();
    try {
        BackupLearningRecords(dir.Path("no-such-folder/backup.mdb"));
        ADD_FAILURE() << "no error";
    } catch (const ELearningBackupError &e) {
        EXPECT_TRUE(e.Reason().startsWith(QStringLiteral("备份没有写成：")))
            << e.Reason().toStdString();
    }
    // An older backup is replaced only by a whole one.
    BackupLearningRecords(BackupFile());
    record(kT0 + 9000, m_bookId, {Met(6, TRating::Again)});
    BackupLearningRecords(BackupFile());
    EXPECT_FALSE(std::filesystem::exists(BackupFile() + ".part"));
    TSqlConnection backup(BackupFile(), DatabasePassword(), TSqlConnection::OpenMode::ReadOnly);
    EXPECT_EQ(rowsOf(backup, "reviewlog", "origin, originseq"),
              rowsOf(db->Connection(), "reviewlog", "origin, originseq"));
}

}  // namespace
