#include "ReviewReminder.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusServiceWatcher>
#include <QFileInfo>
#include <QProcess>
#include <QTimer>

#include "AppLog.h"
#include "Clock.h"
#include "FsrsScheduler.h"
#include "UDataInterface.h"
#include "WordMemory.h"

namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kInterface = QStringLiteral("org.freedesktop.Notifications");
const QString kReviewAction = QStringLiteral("review");
// A session without the service answers at once; one that hangs must not
// keep a login waiting.
constexpr int kCallTimeoutMs = 2000;

}  // namespace

// The notification's signals. QDBusConnection::connect takes slots by
// signature only, hence a QObject of its own.
class TReminderWait : public QObject {
    Q_OBJECT
public:
    TReminderWait(QString program, QStringList gameArguments)
        : m_program(std::move(program)), m_gameArguments(std::move(gameArguments))
    {
    }
    void SetId(uint id) { m_id = id; }

public Q_SLOTS:
    void actionInvoked(uint id, const QString &action)
    {
        if (id != m_id || action != kReviewAction)
            return;
        if (!QProcess::startDetached(m_program, m_gameArguments))
            qCWarning(lcApp).noquote() << "the game could not be started:" << m_program;
        QCoreApplication::quit();
    }
    void notificationClosed(uint id, uint /*reason*/)
    {
        if (id == m_id)
            QCoreApplication::quit();
    }

private:
    QString m_program;
    QStringList m_gameArguments;
    uint m_id = 0;
};

QString ReminderText(std::int64_t dueWords)
{
    return QStringLiteral("Kivro单词速打：今天有%1个单词需要复习").arg(dueWords);
}

std::int64_t DueWordsForReminder()
{
    // A missing file is no database yet (an installation never started):
    // nothing to say, not even a warning.
    if (!QFileInfo::exists(QString::fromStdString(DatabaseFilePath())))
        return 0;
    TDataInterface dataInterface;
    if (!dataInterface.ConnectDatabaseReadOnly())
        return 0;
    SetDataInterface(&dataInterface);
    std::int64_t due = 0;
    try {
        due = CountDueWords(NextLocalMidnightMs(ProgramClock().NowMs()));
    } catch (const EDatabaseError &e) {
        qCWarning(lcApp) << "counting the words due for the reminder failed:" << e.what();
    }
    SetDataInterface(nullptr);
    return due;
}

int RunReviewReminder(int &argc, char **argv, const QStringList &gameArguments,
                      std::chrono::milliseconds wait)
{
    QCoreApplication app(argc, argv);
    const std::int64_t due = DueWordsForReminder();
    if (due <= 0)
        return 0;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        qCDebug(lcApp) << "no session bus: no reminder";
        return 0;
    }

    TReminderWait waiting(QCoreApplication::applicationFilePath(), gameArguments);
    // Listening before the notification is up, so that a click at once is heard.
    bus.connect(kService, kPath, kInterface, QStringLiteral("ActionInvoked"), &waiting,
                SLOT(actionInvoked(uint, QString)));
    bus.connect(kService, kPath, kInterface, QStringLiteral("NotificationClosed"), &waiting,
                SLOT(notificationClosed(uint, uint)));

    QDBusMessage notify =
        QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("Notify"));
    notify << QStringLiteral("Kivro单词速打") << 0U << QStringLiteral("org.example.kivrotype")
           << ReminderText(due) << QString()
           << QStringList{kReviewAction, QStringLiteral("开始复习")}
           << QVariantMap{{QStringLiteral("desktop-entry"),
                           QStringLiteral("org.example.kivrotype")}}
           << -1;
    const QDBusMessage reply = bus.call(notify, QDBus::Block, kCallTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
        qCDebug(lcApp).noquote() << "no notification service:" << reply.errorName();
        return 0;
    }
    waiting.SetId(reply.arguments().constFirst().toUInt());

    // The server gone (the session ends) takes its notification with it.
    QDBusServiceWatcher watcher(kService, bus, QDBusServiceWatcher::WatchForUnregistration);
    QObject::connect(&watcher, &QDBusServiceWatcher::serviceUnregistered, &app,
                     &QCoreApplication::quit);
    QTimer::singleShot(wait, &app, &QCoreApplication::quit);
    app.exec();
    return 0;
}

#include "ReviewReminder.moc"
