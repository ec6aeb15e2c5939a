#pragma once

#include <QList>
#include <QString>
#include <QtGlobal>

#include <optional>

// Lists the attached USB devices that could be the recorder (a vendor-specific interface with
// one bulk IN and one bulk OUT endpoint), so an operator can find the ids to configure.
class UsbScan final
{
public:
    struct Entry
    {
        quint16 nVendor = 0;
        quint16 nProduct = 0;
        int nBus = 0;
        int nAddress = 0;
        int nInterface = -1;
        QString strPortPath;      // BUS-PORT[.PORT...], what --device takes besides the serial number
        QString strSerial;        // empty when the device has none or could not be opened to read it
        QString strProduct;       // empty when the device has none or could not be opened to read it
        bool bReadable = true;    // false when opening it for the product string was refused
        bool bConfigured = false; // its pair is in the configured list
    };

    // Null with *pError set when USB cannot be used at all.
    static std::optional<QList<Entry>> Scan(QString *pError);

    // "1234:5678  bus 001  address 002  port 1-2  serial ABC123  Product name" (and a note when it
    // is configured or could not be opened); "-" for a serial number or product string it lacks.
    static QString FormatEntry(const Entry &entry);
};
