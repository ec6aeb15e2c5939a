#include "link/TransportRegistry.h"

#include "link/ITransport.h"
#include "link/TcpTransport.h"
#include "link/UsbTransport.h"

#include <QMap>
#include <QMutex>
#include <QMutexLocker>

namespace {

struct Registry
{
    QMutex mutex;
    QMap<QString, TransportRegistry::Factory> factories;
};

Registry &TheRegistry()
{
    static Registry registry;
    return registry;
}

} // namespace

namespace TransportRegistry {

void RegisterScheme(const QString &strScheme, Factory factory)
{
    Registry &registry = TheRegistry();
    QMutexLocker lock(&registry.mutex);
    registry.factories.insert(strScheme, std::move(factory));
}

QString DefaultLinkName()
{
    const QString strLink = qEnvironmentVariable("ORVOCONNECT_LINK").trimmed();
    return strLink.isEmpty() ? QStringLiteral("usb") : strLink;
}

std::unique_ptr<ITransport> Create(const QString &strLinkName, QString *pError)
{
    const qsizetype nColon = strLinkName.indexOf(QLatin1Char(':'));
    const QString strScheme = nColon < 0 ? strLinkName : strLinkName.left(nColon);
    const QString strArgument = nColon < 0 ? QString() : strLinkName.mid(nColon + 1);

    if (strScheme == QLatin1String("tcp")) {
        auto pTransport = TcpTransport::FromArgument(strArgument, pError);
        return pTransport;
    }
    if (strScheme == QLatin1String("usb"))
        return UsbTransport::FromArgument(strArgument, pError);

    Factory factory;
    {
        Registry &registry = TheRegistry();
        QMutexLocker lock(&registry.mutex);
        factory = registry.factories.value(strScheme);
    }
    if (factory) {
        QString strWhy;
        if (auto pTransport = factory(strArgument, &strWhy))
            return pTransport;
        if (pError) {
            *pError = QStringLiteral("invalid link \"%1\"").arg(strLinkName);
            if (!strWhy.isEmpty())
                *pError += QStringLiteral(": ") + strWhy;
        }
        return nullptr;
    }
    if (pError)
        *pError =
            QStringLiteral("unknown link \"%1\" (expected usb, tcp:HOST:PORT or sim:DIR)").arg(strLinkName);
    return nullptr;
}

} // namespace TransportRegistry
