#pragma once

#include <QList>
#include <QString>

// One attached device of the configured ids, as an operator tells it apart from the others.
struct UsbDeviceIdentity
{
    QString strSerial;   // the serial number string; empty when it has none or it could not be read
    QString strPortPath; // "BUS-PORT[.PORT...]", as the kernel names the device
    int nAddress = 0;    // changes each time the device is plugged in
};

// Which recorder the USB link opens when several are attached: the text of --device or of the
// "Device" setting. A text of the form BUS-PORT[.PORT...] is a port path, anything else a
// serial number; an empty text chooses the first recorder found.
class UsbDeviceChoice final
{
public:
    UsbDeviceChoice() = default;
    explicit UsbDeviceChoice(const QString &strText);

    // The "Device" setting, asked afresh of the program's settings provider.
    static QString Configured();
    static bool IsPortPathText(const QString &strText);

    bool IsEmpty() const { return m_strText.isEmpty(); }
    bool IsPortPath() const { return m_bPortPath; }
    const QString &Text() const { return m_strText; }
    // A port path compares with the port path alone, a serial number with the serial alone.
    bool Matches(const QString &strSerial, const QString &strPortPath) const;
    bool Matches(const UsbDeviceIdentity &identity) const
    {
        return Matches(identity.strSerial, identity.strPortPath);
    }

    // "1-2 (ABC123), 1-3": each port path with its serial number, when it has one.
    static QString ListText(const QList<UsbDeviceIdentity> &devices);

private:
    QString m_strText;
    bool m_bPortPath = false;
};
