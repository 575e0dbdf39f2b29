// The exported learning records: a file a spreadsheet opens as it is.
#include <QDateTime>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "GbkText.h"
#include "StudyRecordCsv.h"

namespace {

TStudyRecordRow Row(const char *Spelling, const char *Meaning)
{
    TStudyRecordRow R;
    R.Spelling = Gbk(Spelling);
    R.Meaning = Gbk(Meaning);
    R.BookName = Gbk("初中英语");
    R.Seen = 3;
    R.Right = 2;
    R.Missed = 1;
    R.Slips = 4;
    R.Card.Stability = 2.30651;
    R.Card.Difficulty = 6.4133;
    R.Card.Reps = 2;
    R.Card.Lapses = 1;
    return R;
}

QStringList Lines(const QByteArray &Csv)
{
    QStringList L = QString::fromUtf8(Csv.mid(3)).split(QStringLiteral("\r\n"));
    EXPECT_EQ(L.takeLast(), QString()) << "the last row ends with a line break";
    return L;
}

TEST(MemoryCsv, BomHeaderAndOneRowPerWord)
{
    const QByteArray Csv = StudyRecordCsv({Row("apple", "苹果"), Row("Apple", "苹果公司")});
    ASSERT_TRUE(Csv.startsWith("\xEF\xBB\xBF"));
    const QStringList L = Lines(Csv);
    ASSERT_EQ(L.size(), 3);
    EXPECT_EQ(L[0], QStringLiteral("spelling,meaning,book,first_seen,last_seen,seen,right,missed,"
                                   "slips,stability,difficulty,due,last_review,reviews,lapses"));
    EXPECT_EQ(L[1], QStringLiteral("apple,苹果,初中英语,,,3,2,1,4,2.3065,6.4133,,,2,1"));
    EXPECT_TRUE(L[2].startsWith(QStringLiteral("Apple,苹果公司,")));
}

TEST(MemoryCsv, NoWordsIsTheHeaderAlone)
{
    EXPECT_EQ(Lines(StudyRecordCsv({})).size(), 1);
}

TEST(MemoryCsv, CommasQuotesAndLineBreaksAreQuoted)
{
    const QByteArray Csv = StudyRecordCsv(
        {Row("cut", "切，割, 剪"), Row("say", "说 \"hello\""), Row("two", "一\n二")});
    const QString Text = QString::fromUtf8(Csv.mid(3));
    EXPECT_TRUE(Text.contains(QStringLiteral("\ncut,\"切，割, 剪\",初中英语,")));
    EXPECT_TRUE(Text.contains(QStringLiteral("\nsay,\"说 \"\"hello\"\"\",初中英语,")));
    EXPECT_TRUE(Text.contains(QStringLiteral("\ntwo,\"一\n二\",初中英语,")));
}

TEST(MemoryCsv, TimesAreLocalAndNeverIsEmpty)
{
    TStudyRecordRow R = Row("day", "天");
    const QDateTime First(QDate(2026, 3, 1), QTime(8, 5, 9));
    R.FirstSeen = First.toMSecsSinceEpoch();
    R.LastSeen = First.addDays(2).toMSecsSinceEpoch();
    R.Card.Due = First.addDays(9).toMSecsSinceEpoch();
    R.Card.LastReview = R.LastSeen;
    const QStringList Fields = Lines(StudyRecordCsv({R}))[1].split(QLatin1Char(','));
    ASSERT_EQ(Fields.size(), 15);
    EXPECT_EQ(Fields[3], QStringLiteral("2026-03-01 08:05:09"));
    EXPECT_EQ(Fields[4], QStringLiteral("2026-03-03 08:05:09"));
    EXPECT_EQ(Fields[11], QStringLiteral("2026-03-10 08:05:09"));
    EXPECT_EQ(Fields[12], Fields[4]);
}

TEST(MemoryCsv, WrittenWholeOrReported)
{
    QTemporaryDir Dir;
    ASSERT_TRUE(Dir.isValid());
    const QString Path = Dir.filePath(QStringLiteral("学习记录.csv"));
    const std::vector<TStudyRecordRow> Rows = {Row("apple", "苹果")};
    ASSERT_TRUE(WriteStudyRecordCsv(Path, Rows));
    QFile File(Path);
    ASSERT_TRUE(File.open(QIODevice::ReadOnly));
    EXPECT_EQ(File.readAll(), StudyRecordCsv(Rows));
    EXPECT_FALSE(WriteStudyRecordCsv(Dir.filePath(QStringLiteral("missing/x.csv")), Rows));
}

}  // namespace
