#include "WebAddresses.h"

namespace WebAddresses {

namespace {

QString softwareSite()
{
    return QStringLiteral("https://soft.kivro.example");
}

}  // namespace

QString MainSite()
{
    return QStringLiteral("https://www.kivro.example/");
}

QString Forum()
{
    return QStringLiteral("https://bbs.kivro.example/");
}

QString Feedback()
{
    return softwareSite() + QStringLiteral("/skippage/kvofeedback.html");
}

QString WebDirectory()
{
    return QStringLiteral("https://www.webguide.example/");
}

QString EnglishResources()
{
    return softwareSite() + QStringLiteral("/skippage/englishsrc.html");
}

QString DictionaryPrefix()
{
    return QStringLiteral("https://www.kivro.example/word.php?word=");
}

std::array<TSeriesProgram, 5> SeriesPrograms()
{
    const QString site = softwareSite();
    return {{
        {QStringLiteral("Kivro单词记忆"), site + QStringLiteral("/kivromemory.html")},
        {QStringLiteral("Kivro听力训练"), site + QStringLiteral("/kivrolisten.html")},
        {QStringLiteral("Kivro句子跟读"), site + QStringLiteral("/kivrorepeat.html")},
        {QStringLiteral("Kivro语法练习"), site + QStringLiteral("/kivrogrammar.html")},
        {QStringLiteral("Kivro阅读助手"), site + QStringLiteral("/kivroreader.html")},
    }};
}

}  // namespace WebAddresses
