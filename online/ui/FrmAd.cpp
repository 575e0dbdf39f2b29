#include "FrmAd.h"

#include <algorithm>

#include <QCloseEvent>
#include <QFrame>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

#include "BrowserPane.h"

namespace {

constexpr int kDesignWidth = 300;
constexpr int kDesignHeight = 250;
// A list asking for less than this would give a window nobody can use.
constexpr int kMinSide = 100;

}  // namespace

TFrmAd::TFrmAd(QWidget *parent, TOnlineFlag online, TAdServices services, TUrlOpener opener)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint
                          | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_online(online ? std::move(online) : NewOnlineFlag()), m_services(std::move(services)),
      m_panAd(new QFrame(this)), m_wbAd(new TBrowserPane(m_panAd, std::move(opener))),
      m_timerInterCheck(new QTimer(this))
{
    setObjectName(QStringLiteral("FrmAd"));
    setWindowTitle(QString());
    // Closing the main window must end the program even while this is open.
    setAttribute(Qt::WA_QuitOnClose, false);
    // It appears while the player is typing: the keyboard stays with the game.
    setAttribute(Qt::WA_ShowWithoutActivating);

    m_panAd->setObjectName(QStringLiteral("panAd"));
    m_panAd->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_wbAd->setObjectName(QStringLiteral("wbAd"));
    m_wbAd->setFrameShape(QFrame::NoFrame);
    auto *inner = new QVBoxLayout(m_panAd);
    inner->setContentsMargins(0, 0, 0, 0);
    inner->addWidget(m_wbAd);
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(m_panAd);
    setFixedSize(kDesignWidth, kDesignHeight);

    m_timerInterCheck->setObjectName(QStringLiteral("TimerInterCheck"));
    m_timerInterCheck->setInterval(1000);
    connect(m_timerInterCheck, &QTimer::timeout, this, &TFrmAd::TimerInterCheckTimer);
    m_timerInterCheck->start();
}

TFrmAd::~TFrmAd()
{
    m_timerInterCheck->stop();
    m_adInterface.reset();
}

void TFrmAd::TimerInterCheckTimer()
{
    if (m_adInterface || !m_online->load())
        return;
    m_timerInterCheck->stop();
    m_adInterface = std::make_unique<TAdInterface>(m_services);
    connect(m_adInterface.get(), &TAdInterface::ListLoaded, this, &TFrmAd::listLoaded);
    m_adInterface->Start(m_services.Addresses.AdServerBase, kPopupAdList, m_wbAd, nullptr, true);
}

void TFrmAd::listLoaded()
{
    if (!m_adInterface || m_adInterface->UrlCount() == 0)
        return;
    // The list gives the window's width and the pane's height; whatever
    // surrounds the pane keeps its size.
    // Lay the window out now, hidden as it is, so the pane has its real height.
    ensurePolished();
    m_panAd->ensurePolished();
    layout()->setGeometry(contentsRect());
    m_panAd->layout()->setGeometry(m_panAd->contentsRect());
    const QRect area = screen()->availableGeometry();
    const int newWidth =
        std::clamp(m_adInterface->PopupWidth(), kMinSide, std::max(area.width(), kMinSide));
    const int newHeight = std::clamp(height() + m_adInterface->PopupHeight() - m_wbAd->height(),
                                     kMinSide, std::max(area.height(), kMinSide));
    setFixedSize(newWidth, newHeight);
    placeAtWorkAreaCorner();
}

void TFrmAd::placeAtWorkAreaCorner()
{
    const QRect area = screen()->availableGeometry();
    const QRect frame = frameGeometry();
    move(area.x() + area.width() - frame.width(), area.y() + area.height() - frame.height());
}

void TFrmAd::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    placeAtWorkAreaCorner();
    // The window manager adds its frame only after the window is mapped.
    QTimer::singleShot(0, this, &TFrmAd::placeAtWorkAreaCorner);
}

void TFrmAd::stopRotation()
{
    m_timerInterCheck->stop();
    if (m_adInterface)
        m_adInterface->Stop();
}

void TFrmAd::closeEvent(QCloseEvent *event)
{
    stopRotation();
    QDialog::closeEvent(event);
}

void TFrmAd::reject()
{
    // Escape hides a dialog without a close event; it closes this one all the same.
    stopRotation();
    QDialog::reject();
}
