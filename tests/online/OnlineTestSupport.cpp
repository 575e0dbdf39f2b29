#include "OnlineTestSupport.h"

#include <algorithm>

TConnectionStages LoopbackStages(bool systemConnected, TConnectedState state)
{
    TConnectionStages stages = SystemConnectionStages();
    stages.SystemReportsConnection = [systemConnected] { return systemConnected; };
    stages.ConnectedStateOption = [state](const std::atomic<bool> *) { return state; };
    return stages;
}

TOnlineAddresses LoopbackAddresses(const LoopbackHttpServer &server)
{
    TOnlineAddresses a;
    a.FirstPortal = server.Url(QStringLiteral("portal1"));
    a.SecondPortal = server.Url(QStringLiteral("portal2"));
    a.AdServerBase = server.Url(QStringLiteral("software/kivrotype/"));
    a.NavigationPortal = server.Url(QStringLiteral("nav"));
    a.ProbeTimeout = std::chrono::milliseconds(2000);
    a.DownloadTimeout = std::chrono::milliseconds(3000);
    return a;
}

TAdServices LoopbackServices(const LoopbackHttpServer &server, std::chrono::milliseconds second)
{
    TAdServices s;
    s.Addresses = LoopbackAddresses(server);
    s.Stages = LoopbackStages();
    s.SecondLength = second;
    return s;
}

QByteArray AdListXml(const TAdListContent &adList)
{
    auto attr = [](const QString &v) { return v.toHtmlEscaped(); };
    QString xml =
        QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Root>\n <Parameter>\n");
    xml += QStringLiteral("  <AdWidth Value=\"%1\"/>\n").arg(adList.AdWidth);
    xml += QStringLiteral("  <AdHeight Value=\"%1\"/>\n").arg(adList.AdHeight);
    xml += QStringLiteral("  <StartPlayInterval Value=\"%1\"/>\n").arg(adList.StartPlayInterval);
    xml += QStringLiteral("  <MaxPalyNum Value=\"%1\"/>\n").arg(adList.MaxPalyNum);
    xml += QStringLiteral("  <AdInterval Value=\"%1\"/>\n").arg(adList.AdInterval);
    xml +=
        QStringLiteral("  <CountHttp Value=\"%1\"/>\n </Parameter>\n").arg(attr(adList.CountHttp));
    const int count = adList.Count >= 0 ? adList.Count : static_cast<int>(adList.Items.size());
    xml += QStringLiteral(" <HttpList Count=\"%1\">\n").arg(count);
    for (const TAdItem &item : adList.Items)
        xml += QStringLiteral("  <Item Value=\"%1\" Title=\"%2\"/>\n")
                   .arg(attr(item.Value), attr(item.Title));
    xml += QStringLiteral(" </HttpList>\n</Root>\n");
    return xml.toUtf8();
}

std::vector<TAdItem> LoopbackItems(const LoopbackHttpServer &server, int n)
{
    std::vector<TAdItem> items;
    items.reserve(static_cast<size_t>(std::max(n, 0)));
    for (int i = 0; i < n; ++i)
        items.push_back({server.Url(QStringLiteral("ad%1").arg(i)).toString(),
                         QStringLiteral("广告%1").arg(i)});
    return items;
}

TAdListContent ThreeItems()
{
    TAdListContent adList;
    for (int i = 0; i < 3; ++i)
        adList.Items.push_back({QStringLiteral("http://example.invalid/old%1").arg(i),
                                QStringLiteral("广告%1").arg(i)});
    return adList;
}
