#include "OnlineAddresses.h"

const TOnlineAddresses &ProgramAddresses()
{
    static const TOnlineAddresses addresses{
        QUrl(QStringLiteral("http://www.baidu.com/")),
        QUrl(QStringLiteral("http://www.qq.com/")),
        QUrl(QStringLiteral("http://soft.kivro.example/software/kivrotype/")),
        QUrl(QStringLiteral("http://www.hao123.com/")),
    };
    return addresses;
}

QUrl AdListAddress(const QUrl &base, const QString &fileName)
{
    // Appended, not resolved: the base is a folder and the name a plain file name.
    return QUrl(base.toString() + fileName);
}
