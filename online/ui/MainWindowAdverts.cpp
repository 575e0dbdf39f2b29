#include "MainWindowAdverts.h"

#include <QTimer>

#include "AdLabelLink.h"
#include "BrowserPane.h"
#include "FrmAd.h"

TMainWindowAdverts::TMainWindowAdverts(QLabel *labAd, TBrowserPane *wbAd, TBrowserPane *wbAd1,
                                       TOnlineFlag online, TAdServices services, TUrlOpener opener,
                                       QObject *parent)
    : QObject(parent), m_online(online ? std::move(online) : NewOnlineFlag()),
      m_services(std::move(services)), m_wbAd(wbAd), m_wbAd1(wbAd1),
      m_labelLink(new TAdLabelLink(labAd, std::move(opener), this)),
      m_timerInterCheck(new QTimer(this)), m_timerAd(new QTimer(this))
{
    m_timerInterCheck->setObjectName(QStringLiteral("TimerInterCheck"));
    m_timerInterCheck->setInterval(1000);
    connect(m_timerInterCheck, &QTimer::timeout, this, &TMainWindowAdverts::TimerInterCheckTimer);
    m_timerInterCheck->start();

    m_timerAd->setObjectName(QStringLiteral("TimerAd"));
    m_timerAd->setInterval(10000);
    connect(m_timerAd, &QTimer::timeout, this, &TMainWindowAdverts::TimerAdTimer);
    m_timerAd->start();
}

TMainWindowAdverts::~TMainWindowAdverts()
{
    m_timerInterCheck->stop();
    m_timerAd->stop();
    m_adInterface.reset();
    m_internetCheck.reset();
}

void TMainWindowAdverts::SetPopup(TFrmAd *popup)
{
    m_popup = popup;
}

void TMainWindowAdverts::StartInternetCheck()
{
    if (m_internetCheck)
        return;
    m_internetCheck =
        std::make_unique<TInternetCheck>(m_online, m_services.Stages, m_services.Addresses);
    m_internetCheck->Start();
}

void TMainWindowAdverts::TimerInterCheckTimer()
{
    if (m_adInterface || !m_online->load())
        return;
    m_adInterface = std::make_unique<TAdInterface>(m_services);
    m_adInterface->Start(m_services.Addresses.AdServerBase, kStatusBarAdList, m_wbAd.data(),
                         m_labelLink, false);
    if (m_wbAd1)
        m_wbAd1->Navigate(m_services.Addresses.NavigationPortal.toString());
    m_timerInterCheck->stop();
}

void TMainWindowAdverts::TimerAdTimer()
{
    if (m_popup && m_popup->AdInterface() && m_popup->AdInterface()->UrlCount() > 0)
        m_popup->show();
    m_timerAd->stop();
}
