#include <QFile>
#include <QStringDecoder>
#include <QStringEncoder>

#include <gtest/gtest.h>

#include "AdParameter.h"
#include "OnlineTestSupport.h"
#include "TempProgramDir.h"

namespace {

TAdListContent twoItems()
{
    TAdListContent adList;
    adList.AdWidth = 300;
    adList.AdHeight = 200;
    adList.StartPlayInterval = 5;
    adList.MaxPalyNum = 2;
    adList.AdInterval = 20;
    adList.CountHttp = QStringLiteral("http://example.invalid/count.html");
    adList.Items = {
        {QStringLiteral("http://example.invalid/a.html"), QStringLiteral("第一条")},
        {QStringLiteral("http://example.invalid/b.html?x=1&y=2"), QStringLiteral("第二条")}};
    return adList;
}

TEST(OnlineAdXml, ReadsEveryParameterAndItem)
{
    TAdParameter p;
    EXPECT_TRUE(ParseAdXml(AdListXml(twoItems()), false, p));
    EXPECT_EQ(p.AdWidth, 300);
    EXPECT_EQ(p.AdHeight, 200);
    EXPECT_EQ(p.StartPlayInterval, 5);
    EXPECT_EQ(p.MaxPalyNum, 2);
    EXPECT_EQ(p.AdInterval, 20);
    EXPECT_EQ(p.CountHttp, QStringLiteral("http://example.invalid/count.html"));
    EXPECT_EQ(p.HttpList, (QStringList{QStringLiteral("http://example.invalid/a.html"),
                                       QStringLiteral("http://example.invalid/b.html?x=1&y=2")}));
    EXPECT_EQ(p.TitleList, (QStringList{QStringLiteral("第一条"), QStringLiteral("第二条")}));

    // The pop-up channel reads no titles.
    TAdParameter popup;
    EXPECT_TRUE(ParseAdXml(AdListXml(twoItems()), true, popup));
    EXPECT_EQ(popup.HttpList.size(), 2);
    EXPECT_TRUE(popup.TitleList.isEmpty());
}

TEST(OnlineAdXml, ItemsAreTakenByPositionAndParametersByName)
{
    const QByteArray xml =
        "<Root><HttpList Count=\"3\"><A Value=\"u0\" Title=\"t0\"/><!-- note --><B Value=\"u1\" "
        "Title=\"t1\"/>text<Item Value=\"u2\" Title=\"t2\"/></HttpList>"
        "<Parameter><CountHttp Value=\"\"/><AdInterval Value=\"3\"/><MaxPalyNum Value=\"-1\"/>"
        "<StartPlayInterval Value=\" 4 \"/><AdHeight Value=\"$10\"/><AdWidth Value=\"0x20\"/>"
        "</Parameter></Root>";
    TAdParameter p;
    EXPECT_TRUE(ParseAdXml(xml, false, p));
    EXPECT_EQ(p.AdWidth, 32);
    EXPECT_EQ(p.AdHeight, 16);
    EXPECT_EQ(p.StartPlayInterval, 4);
    EXPECT_EQ(p.MaxPalyNum, -1);
    EXPECT_EQ(p.AdInterval, 3);
    EXPECT_TRUE(p.CountHttp.isEmpty());
    EXPECT_EQ(p.HttpList,
              (QStringList{QStringLiteral("u0"), QStringLiteral("u1"), QStringLiteral("u2")}));
    EXPECT_EQ(p.TitleList,
              (QStringList{QStringLiteral("t0"), QStringLiteral("t1"), QStringLiteral("t2")}));
}

TEST(OnlineAdXml, CountLargerThanTheItemsUsesTheItemsPresent)
{
    TAdListContent adList = twoItems();
    adList.Count = 5;
    TAdParameter p;
    EXPECT_FALSE(ParseAdXml(AdListXml(adList), false, p));
    EXPECT_EQ(p.HttpList.size(), 2);
    EXPECT_EQ(p.TitleList.size(), 2);

    // A smaller count reads only that many.
    adList.Count = 1;
    TAdParameter q;
    EXPECT_TRUE(ParseAdXml(AdListXml(adList), false, q));
    EXPECT_EQ(q.HttpList, QStringList{QStringLiteral("http://example.invalid/a.html")});
}

TEST(OnlineAdXml, BrokenXmlKeepsWhatWasReadBeforeTheFault)
{
    const QByteArray whole = AdListXml(twoItems());
    // Cut inside the second item's start tag.
    const QByteArray cut = whole.left(whole.indexOf("b.html"));
    TAdParameter p;
    EXPECT_FALSE(ParseAdXml(cut, false, p));
    EXPECT_EQ(p.AdInterval, 20);
    EXPECT_EQ(p.HttpList, QStringList{QStringLiteral("http://example.invalid/a.html")});
    EXPECT_EQ(p.TitleList, QStringList{QStringLiteral("第一条")});

    // A mismatched tag after the parameters: the parameters stay, no items.
    const QByteArray mismatched =
        "<Root><Parameter><AdWidth Value=\"1\"/><AdHeight Value=\"2\"/>"
        "<StartPlayInterval Value=\"3\"/><MaxPalyNum Value=\"4\"/><AdInterval Value=\"5\"/>"
        "<CountHttp Value=\"c\"/></Parameter></Wrong><HttpList Count=\"1\"><I Value=\"u\" "
        "Title=\"t\"/>";
    TAdParameter m;
    EXPECT_FALSE(ParseAdXml(mismatched, false, m));
    EXPECT_EQ(m.AdInterval, 5);
    EXPECT_EQ(m.CountHttp, QStringLiteral("c"));
    EXPECT_TRUE(m.HttpList.isEmpty());

    TAdParameter none;
    EXPECT_FALSE(ParseAdXml("not xml at all", false, none));
    EXPECT_FALSE(ParseAdXml({}, false, none));
    EXPECT_TRUE(none.HttpList.isEmpty());
}

TEST(OnlineAdXml, AMissingOrMalformedValueEndsTheParseThere)
{
    TAdParameter p;
    QByteArray xml = AdListXml(twoItems());
    xml.replace("<MaxPalyNum Value=\"2\"/>", "<MaxPalyNum Value=\"two\"/>");
    EXPECT_FALSE(ParseAdXml(xml, false, p));
    EXPECT_EQ(p.StartPlayInterval, 5);
    EXPECT_EQ(p.MaxPalyNum, 0);
    EXPECT_EQ(p.AdInterval, 0);
    EXPECT_TRUE(p.HttpList.isEmpty());

    TAdParameter q;
    xml = AdListXml(twoItems());
    xml.replace("<AdInterval Value=\"20\"/>", "<AdInterval/>");
    EXPECT_FALSE(ParseAdXml(xml, false, q));
    EXPECT_EQ(q.MaxPalyNum, 2);
    EXPECT_TRUE(q.CountHttp.isEmpty());

    TAdParameter r;
    xml = AdListXml(twoItems());
    xml.replace("Count=\"2\"", "Count=\"99999999999\"");
    EXPECT_FALSE(ParseAdXml(xml, false, r));
    EXPECT_EQ(r.CountHttp, QStringLiteral("http://example.invalid/count.html"));
    EXPECT_TRUE(r.HttpList.isEmpty());
}

TEST(OnlineAdXml, AnItemWithoutATitleIsNotShownInTheStatusBar)
{
    QByteArray xml = AdListXml(twoItems());
    xml.replace(" Title=\"第二条\"", "");
    TAdParameter bar;
    EXPECT_FALSE(ParseAdXml(xml, false, bar));
    // Both lists stop at the same place, so every address has its title.
    EXPECT_EQ(bar.HttpList.size(), 1);
    EXPECT_EQ(bar.TitleList.size(), 1);
    TAdParameter popup;
    EXPECT_TRUE(ParseAdXml(xml, true, popup));
    EXPECT_EQ(popup.HttpList.size(), 2);
}

TEST(OnlineAdXml, ListsInTheChineseCodePageAreDecoded)
{
    QString text = QStringLiteral(
        "<?xml version=\"1.0\" encoding=\"gb2312\"?><Root><Parameter><AdWidth Value=\"1\"/>"
        "<AdHeight Value=\"1\"/><StartPlayInterval Value=\"1\"/><MaxPalyNum Value=\"0\"/>"
        "<AdInterval Value=\"1\"/><CountHttp Value=\"\"/></Parameter><HttpList Count=\"1\">"
        "<Item Value=\"http://example.invalid/\" Title=\"背单词，赢大奖\"/></HttpList></Root>");
    QStringEncoder toGbk("GB2312");
    const QByteArray bytes = toGbk.encode(text);
    ASSERT_FALSE(toGbk.hasError());
    TAdParameter p;
    EXPECT_TRUE(ParseAdXml(bytes, false, p));
    EXPECT_EQ(p.TitleList, QStringList{QStringLiteral("背单词，赢大奖")});
}

// ---- hostile lists ------------------------------------------------------------

TAdListContent fourItems()
{
    TAdListContent adList = twoItems();
    adList.Items.clear();
    for (const char *name : {"a", "b", "c", "d"})
        adList.Items.push_back(
            {QStringLiteral("http://example.invalid/%1.html").arg(QLatin1StringView(name)),
             QStringLiteral("广告%1").arg(QLatin1StringView(name))});
    return adList;
}

// The list with `inside` placed within its item number `item`.
QByteArray withInsideItem(const TAdListContent &adList, int item, const QByteArray &inside)
{
    QByteArray xml = AdListXml(adList);
    qsizetype at = -1;
    for (int i = 0; i <= item; ++i)
        at = xml.indexOf("<Item ", at + 1);
    const qsizetype end = xml.indexOf("/>", at);
    const QByteArray filled = QByteArray(">").append(inside).append("</Item>");
    xml.replace(end, 2, filled);
    return xml;
}

QByteArray nest(int levels, bool closed)
{
    QByteArray open;
    open.reserve(levels * 3);
    for (int i = 0; i < levels; ++i)
        open += "<a>";
    if (closed) {
        for (int i = 0; i < levels; ++i)
            open += "</a>";
    }
    return open;
}

QStringList addresses(std::initializer_list<const char *> names)
{
    QStringList list;
    for (const char *n : names)
        list << QStringLiteral("http://example.invalid/%1.html").arg(QLatin1StringView(n));
    return list;
}

TEST(OnlineAdXmlHostile, AnElementDeeperThanSixteenLevelsEndsTheParseThere)
{
    // An item sits at level 3: thirteen more levels inside it reach level 16.
    TAdParameter fits;
    EXPECT_TRUE(ParseAdXml(withInsideItem(fourItems(), 2, nest(13, true)), false, fits));
    EXPECT_EQ(fits.HttpList, addresses({"a", "b", "c", "d"}));

    // One level more: the items before stay, the one whose start was read too,
    // nothing after it.
    TAdParameter cut;
    EXPECT_FALSE(ParseAdXml(withInsideItem(fourItems(), 2, nest(14, true)), false, cut));
    EXPECT_EQ(cut.HttpList, addresses({"a", "b", "c"}));
    EXPECT_EQ(cut.TitleList.size(), 3);
    EXPECT_EQ(cut.AdInterval, 20);
}

TEST(OnlineAdXmlHostile, TheElementAfterTheTenThousandthEndsTheParseThere)
{
    // Root, Parameter, its six values and HttpList come first: 9991 items
    // make 10 000 elements.
    TAdListContent adList = twoItems();
    adList.Items.clear();
    for (int i = 0; i < 10000; ++i)
        adList.Items.push_back({QStringLiteral("u%1").arg(i), QStringLiteral("t%1").arg(i)});
    TAdParameter cut;
    EXPECT_FALSE(ParseAdXml(AdListXml(adList), true, cut));
    ASSERT_EQ(cut.HttpList.size(), 9991);
    EXPECT_EQ(cut.HttpList.back(), QStringLiteral("u9990"));

    adList.Items.resize(9991);
    TAdParameter all;
    EXPECT_TRUE(ParseAdXml(AdListXml(adList), true, all));
    EXPECT_EQ(all.HttpList.size(), 9991);
}

TEST(OnlineAdXmlHostile, AMillionNestedElementsUnderTheDownloadCapAreReadSafely)
{
    // Never closed, as a hostile server would send them: 3 MB.
    const QByteArray xml = withInsideItem(fourItems(), 1, nest(1000000, false));
    ASSERT_LT(xml.size(), 4 * 1024 * 1024);
    TempProgramDir dir;
    dir.WriteFile("kivrotype2.xml", xml.toStdString());
    for (const bool browserMode : {false, true}) {
        TAdParameter p;
        EXPECT_FALSE(
            ParseAdXmlFile(QString::fromStdString(dir.Path("kivrotype2.xml")), browserMode, p));
        EXPECT_EQ(p.HttpList, addresses({"a", "b"}));
        EXPECT_EQ(p.CountHttp, QStringLiteral("http://example.invalid/count.html"));
    }
}

}  // namespace
