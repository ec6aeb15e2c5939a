#pragma once

#include "core/UsbSettings.h"

#include <QList>
#include <QString>
#include <QtGlobal>

#include <optional>

struct LinkOpenFailure;

// The vendor:product pairs that identify the recorder on USB. The recorder holds no id of its
// own that the program could know in advance, so the operator configures them.
class UsbIds final
{
public:
    struct Pair
    {
        quint16 nVendor = 0;
        quint16 nProduct = 0;
        bool operator==(const Pair &other) const = default;
    };

    // The environment variable wins over the setting of the same content.
    static constexpr const char *ENV_NAME = UsbSettings::ENV_IDS;

    UsbIds() = default;
    explicit UsbIds(QList<Pair> pairs)
        : m_pairs(std::move(pairs))
    {}

    // "1234:5678,1234:5679" (hexadecimal, separated by commas, semicolons or spaces). Null with
    // *pError set and *pBadEntry the entry when an entry is not a pair; an empty text gives an
    // empty list.
    static std::optional<UsbIds> Parse(const QString &strText, QString *pError, QString *pBadEntry = nullptr);

    // The configured list, asked afresh of the program's settings provider (ORVOCONNECT_USB_IDS
    // when set and not empty, else the "UsbIds" setting). Null when the text does not parse; *pFailure then
    // names the source and the entry.
    static std::optional<UsbIds> ReadConfigured(LinkOpenFailure *pFailure);
    // The same with the reason in English.
    static std::optional<UsbIds> Configured(QString *pError);
    // Where Configured reads: the environment variable's name, or the setting and its file.
    static QString ConfiguredSource();

    bool IsEmpty() const { return m_pairs.isEmpty(); }
    bool Contains(quint16 nVendor, quint16 nProduct) const;
    const QList<Pair> &Pairs() const { return m_pairs; }

    // "1234:5678" with four lower-case hex digits each.
    static QString Format(quint16 nVendor, quint16 nProduct);
    QString ToString() const;

private:
    QList<Pair> m_pairs;
};
