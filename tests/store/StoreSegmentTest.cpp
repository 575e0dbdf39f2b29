// The segments the logs travel in through a sync server: what goes into a
// computer's next segment, the file's checks, and a fetched segment merged
// whole and held, or refused and nothing changed.
#include "ComputerIdentity.h"
#include "LearnerState.h"
#include "StoreFixture.h"
#include "SyncSegments.h"
#include "UBookType.h"

namespace {

constexpr std::int64_t kT0 = 1'790'000'000'000;

// Rows as text, type and value, so that they compare and print.
std::vector<std::string> shownRows(const std::vector<std::vector<TSqlValue>> &rows)
{
    std::vector<std::string> out;
    for (const std::vector<TSqlValue> &row : rows) {
        std::string line;
        for (const TSqlValue &v : row) {
            line += std::to_string(v.index()) + ":";
            if (const auto *i = std::get_if<std::int64_t>(&v))
                line += std::to_string(*i);
            else if (const auto *d = std::get_if<double>(&v))
                line += std::to_string(*d);
            else if (const auto *t = std::get_if<std::string>(&v))
                line += *t;
            line += " ";
        }
        out.push_back(line);
    }
    return out;
}

class StoreSyncSegment : public StoreFixture {
protected:
    StoreSyncSegment()
    {
        m_book = ImportNumberedBook(Gbk("《课本》"), 6);
        m_words = TableRows(GetBookTableName(m_book));
        TUsing use(m_other.Db(), *db);
        ImportNumberedBook(Gbk("《课本》"), 6);
    }

    void Play(std::int64_t at, int row, TRating rating)
    {
        record(at, m_book, {meeting(m_words[static_cast<size_t>(row)], rating, m_book, row)});
    }

    std::int64_t RowsIn(const TLogBatch &batch)
    {
        std::int64_t n = 0;
        for (const TLogRows &rows : batch.Tables)
            n += static_cast<std::int64_t>(rows.Rows.size());
        return n;
    }

    std::string Own() { return ReadComputerIdentity(db->Connection())->Id; }

    QByteArray FileOf(const THeldSegment &segment)
    {
        return HeldSegmentFile(db->Connection(), segment.Computer, segment.Name);
    }

    int m_book = 0;
    TWordInfos m_words;
    TOtherDatabase m_other;
};

TEST_F(StoreSyncSegment, EachSegmentHoldsTheRowsWrittenSinceTheLastOneNumberedOnFromOne)
{
    EXPECT_FALSE(WriteOwnSegment());  // nothing played yet
    Play(kT0, 0, TRating::Again);
    AddGameRecord(Gbk("甲"), 10);
    const std::optional<THeldSegment> first = WriteOwnSegment();
    ASSERT_TRUE(first);
    EXPECT_EQ(first->Computer, Own());
    EXPECT_EQ(first->Number, 1);
    EXPECT_FALSE(WriteOwnSegment());  // nothing new since

    Play(kT0 + 1000, 1, TRating::Good);
    const std::optional<THeldSegment> second = WriteOwnSegment();
    ASSERT_TRUE(second);
    EXPECT_EQ(second->Number, 2);
    EXPECT_EQ(HeldSegments(db->Connection()), (std::vector<THeldSegment>{*first, *second}));

    const TLogBatch one = DecodeSegment(Own(), first->Name, FileOf(*first));
    const TLogBatch two = DecodeSegment(Own(), second->Name, FileOf(*second));
    // The review, the play and the score; then one review and one play.
    EXPECT_EQ(RowsIn(one), 3);
    EXPECT_EQ(RowsIn(two), 2);
    // Together they are the whole log, value for value.
    const TLogBatch all = ReadLogBatch(db->Connection());
    for (size_t t = 0; t < all.Tables.size(); ++t) {
        std::vector<std::vector<TSqlValue>> joined = one.Tables[t].Rows;
        joined.insert(joined.end(), two.Tables[t].Rows.begin(), two.Tables[t].Rows.end());
        EXPECT_EQ(shownRows(joined), shownRows(all.Tables[t].Rows)) << all.Tables[t].Table;
    }
    EXPECT_EQ(two.NewWords, all.NewWords);
    EXPECT_EQ(ParseSegmentFileName(second->Name)->Number, 2);
}

TEST_F(StoreSyncSegment, AFetchedSegmentIsMergedAndHeldAndItsRowsAreNotSentOnAgain)
{
    Play(kT0, 0, TRating::Again);
    Play(kT0 + 1000, 1, TRating::Again);
    const THeldSegment a = *WriteOwnSegment();
    const QByteArray file = FileOf(a);

    TUsing use(m_other.Db(), *db);
    const TMergeResult merged = MergeFetchedSegment(a.Computer, a.Name, file);
    EXPECT_EQ(merged.Added, 4);
    EXPECT_EQ(HeldSegments(m_other.Db().Connection()), std::vector<THeldSegment>{a});
    EXPECT_EQ(MergeFetchedSegment(a.Computer, a.Name, file).Added, 0);
    // Only what this computer played goes into its own segment.
    EXPECT_FALSE(WriteOwnSegment());
    Play(kT0 + 5000, 2, TRating::Good);
    const THeldSegment b = *WriteOwnSegment();
    EXPECT_NE(b.Computer, a.Computer);
    EXPECT_EQ(b.Number, 1);
    const TLogBatch sent = DecodeSegment(
        b.Computer, b.Name, HeldSegmentFile(m_other.Db().Connection(), b.Computer, b.Name));
    EXPECT_EQ(RowsIn(sent), 2);
    for (const TLogRows &rows : sent.Tables)
        for (const std::vector<TSqlValue> &row : rows.Rows)
            EXPECT_EQ(std::get<std::string>(row[0]), b.Computer);
}

TEST_F(StoreSyncSegment, ASegmentThatFailsAnyCheckIsRefusedAndNothingIsMergedOrHeld)
{
    Play(kT0, 0, TRating::Again);
    Play(kT0 + 1000, 3, TRating::Good);
    const THeldSegment a = *WriteOwnSegment();
    const QByteArray file = FileOf(a);

    QByteArray flipped = file;
    flipped[flipped.size() / 2] = static_cast<char>(flipped[flipped.size() / 2] ^ 0x10);
    const QByteArray cut = file.left(file.size() - 7);
    // Made by a writer whose checksum matches but whose contents are not a segment.
    const QByteArray garbage = QByteArrayLiteral("KVSEG1\n") + qCompress("not a segment");
    const QByteArray otherHeader =
        EncodeSegment(std::string(32, 'f'), a.Number, DecodeSegment(a.Computer, a.Name, file));

    TUsing use(m_other.Db(), *db);
    const TLearnerState before = stateOf(m_other.Db());
    const std::vector<std::pair<std::string, QByteArray>> bad = {
        {a.Name, flipped},
        {a.Name, cut},
        {a.Name, QByteArray()},
        {SegmentFileName(a.Number, garbage), garbage},
        {SegmentFileName(a.Number, otherHeader), otherHeader},
        {SegmentFileName(a.Number + 1, file), file},  // numbered as another
    };
    for (const auto &[name, bytes] : bad) {
        EXPECT_THROW(MergeFetchedSegment(a.Computer, name, bytes), ESegmentError) << name;
        try {
            MergeFetchedSegment(a.Computer, name, bytes);
        } catch (const ESegmentError &e) {
            EXPECT_EQ(e.Reason(), QStringLiteral("同步文件已损坏。"));
        }
    }
    EXPECT_EQ(stateOf(m_other.Db()), before);
    EXPECT_TRUE(HeldSegments(m_other.Db().Connection()).empty());
    // The good file still merges.
    EXPECT_EQ(MergeFetchedSegment(a.Computer, a.Name, file).Added, 4);
}

TEST(StoreSyncSegmentName, OnlyASegmentsOwnNameParses)
{
    const std::string sha(64, 'a');
    EXPECT_EQ(ParseSegmentFileName("00000012-" + sha + ".kseg")->Number, 12);
    EXPECT_EQ(ParseSegmentFileName("00000012-" + sha + ".kseg")->Sha256, sha);
    for (const std::string &name :
         {"00000012-" + sha + ".kseg.part", "00000012-" + sha.substr(1) + ".kseg",
          "0000001x-" + sha + ".kseg", "-" + sha + ".kseg",
          "00000012-" + std::string(64, 'A') + ".kseg", std::string("notes.txt")})
        EXPECT_FALSE(ParseSegmentFileName(name)) << name;
    const QByteArray file("x");
    EXPECT_EQ(SegmentFileName(3, file),
              "00000003-2d711642b726b04401627ca9fbac32f5c8530fb1903cc4db02258717921a4881.kseg");
}

}  // namespace
