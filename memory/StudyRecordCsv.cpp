#include "StudyRecordCsv.h"

#include <QDateTime>
#include <QSaveFile>
#include <QStringList>

#include "GbkText.h"

namespace {

QString CsvField(const QString &Text)
{
    if (!Text.contains(QLatin1Char(',')) && !Text.contains(QLatin1Char('"'))
        && !Text.contains(QLatin1Char('\n')) && !Text.contains(QLatin1Char('\r')))
        return Text;
    QString Quoted = Text;
    Quoted.replace(QLatin1String("\""), QLatin1String("\"\""));
    return QLatin1Char('"') + Quoted + QLatin1Char('"');
}

// Local time, as the learner reads it; empty for never.
QString Time(std::int64_t Ms)
{
    if (Ms <= 0)
        return {};
    return QDateTime::fromMSecsSinceEpoch(Ms).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

QString Number(double Value)
{
    return QString::number(Value, 'f', 4);
}

}  // namespace

QByteArray StudyRecordCsv(const std::vector<TStudyRecordRow> &Rows)
{
    const QStringList Header = {
        QStringLiteral("spelling"),    QStringLiteral("meaning"),    QStringLiteral("book"),
        QStringLiteral("first_seen"),  QStringLiteral("last_seen"),  QStringLiteral("seen"),
        QStringLiteral("right"),       QStringLiteral("missed"),     QStringLiteral("slips"),
        QStringLiteral("stability"),   QStringLiteral("difficulty"), QStringLiteral("due"),
        QStringLiteral("last_review"), QStringLiteral("reviews"),    QStringLiteral("lapses")};
    QString Text = Header.join(QLatin1Char(',')) + QStringLiteral("\r\n");
    for (const TStudyRecordRow &Row : Rows) {
        const QStringList Fields = {CsvField(GbkToQString(Row.Spelling)),
                                    CsvField(GbkToQString(Row.Meaning)),
                                    CsvField(GbkToQString(Row.BookName)),
                                    Time(Row.FirstSeen),
                                    Time(Row.LastSeen),
                                    QString::number(Row.Seen),
                                    QString::number(Row.Right),
                                    QString::number(Row.Missed),
                                    QString::number(Row.Slips),
                                    Number(Row.Card.Stability),
                                    Number(Row.Card.Difficulty),
                                    Time(Row.Card.Due),
                                    Time(Row.Card.LastReview),
                                    QString::number(Row.Card.Reps),
                                    QString::number(Row.Card.Lapses)};
        Text += Fields.join(QLatin1Char(',')) + QStringLiteral("\r\n");
    }
    return QByteArray("\xEF\xBB\xBF") + Text.toUtf8();
}

bool WriteStudyRecordCsv(const QString &Path, const std::vector<TStudyRecordRow> &Rows)
{
    QSaveFile File(Path);
    if (!File.open(QIODevice::WriteOnly))
        return false;
    const QByteArray Bytes = StudyRecordCsv(Rows);
    if (File.write(Bytes) != Bytes.size())
        return false;
    return File.commit();
}
