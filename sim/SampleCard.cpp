#include "sim/SampleCard.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTimeZone>

namespace {

constexpr int CHANNELS = 8;
constexpr int RECORD_SIZE = 4 + 2 + 2 + CHANNELS * 2; // time, status, flags, channel values
constexpr int RECORD_INTERVAL_S = 10;
constexpr qint64 SYSTEM_IMAGE_SIZE = 1536 * 1024;

// A small deterministic generator, so sample cards are the same on every machine.
class Lcg final
{
public:
    explicit Lcg(quint32 nSeed)
        : m_nState(nSeed)
    {}
    quint32 Next()
    {
        m_nState = m_nState * 1664525u + 1013904223u;
        return m_nState >> 8;
    }

private:
    quint32 m_nState;
};

void PutU16(QByteArray &bytes, quint16 n)
{
    bytes.append(char(n & 0xFF));
    bytes.append(char(n >> 8));
}

void PutU32(QByteArray &bytes, quint32 n)
{
    PutU16(bytes, quint16(n));
    PutU16(bytes, quint16(n >> 16));
}

QByteArray ConfigText()
{
    QByteArray text = "[Recorder]\r\nModel=PR-8\r\nTag=BOILER HOUSE 2\r\nArchiveInterval=10\r\n"
                      "ArchiveOnCard=1\r\n\r\n";
    static const char *const names[CHANNELS] = {"Flow gas",   "Temp. supply", "Temp. return", "Pressure",
                                                "O2 content", "Level tank",   "Power",        "Spare"};
    static const char *const units[CHANNELS] = {"m3/h", "degC", "degC", "bar", "%", "m", "kW", "-"};
    for (int i = 0; i < CHANNELS; ++i) {
        text += "[Channel" + QByteArray::number(i + 1) + "]\r\n";
        text += QByteArray("Name=") + names[i] + "\r\nUnit=" + units[i] + "\r\n";
        text += "RangeLow=0\r\nRangeHigh=" + QByteArray::number((i + 1) * 50) +
                "\r\nAlarmHigh=" + QByteArray::number((i + 1) * 45) + "\r\n\r\n";
    }
    return text;
}

QByteArray ReportCsv(qint64 nStartSecs)
{
    QByteArray text = "Date;Channel;Minimum;Maximum;Average;Unit\r\n";
    Lcg random(7);
    for (int nDay = 0; nDay < 14; ++nDay) {
        const QDate date = QDateTime::fromSecsSinceEpoch(nStartSecs + nDay * 86400, QTimeZone::utc()).date();
        for (int nChannel = 1; nChannel <= 3; ++nChannel) {
            const int nMin = int(random.Next() % 200);
            const int nMax = nMin + int(random.Next() % 300);
            text += date.toString(QStringLiteral("yyyy-MM-dd")).toLatin1() + ";" +
                    QByteArray::number(nChannel) + ";" + QByteArray::number(nMin / 10.0, 'f', 1) + ";" +
                    QByteArray::number(nMax / 10.0, 'f', 1) + ";" +
                    QByteArray::number((nMin + nMax) / 20.0, 'f', 1) + ";degC\r\n";
        }
    }
    return text;
}

QByteArray SystemImage()
{
    QByteArray image;
    image.reserve(SYSTEM_IMAGE_SIZE);
    image += "PR8-SYSIMG";
    PutU16(image, 0x030C); // 3.12
    PutU32(image, quint32(SYSTEM_IMAGE_SIZE));
    Lcg random(0x5EED);
    while (image.size() < SYSTEM_IMAGE_SIZE)
        PutU32(image, random.Next());
    image.truncate(SYSTEM_IMAGE_SIZE);
    return image;
}

bool WriteFile(const QString &strPath, const QByteArray &bytes, const QDateTime &modified, QString *pError)
{
    QFile file(strPath);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size()) {
        if (pError)
            *pError = QStringLiteral("cannot write %1: %2").arg(strPath, file.errorString());
        return false;
    }
    // Buffered bytes written later would move the time again.
    file.flush();
    file.setFileTime(modified, QFileDevice::FileModificationTime);
    return true;
}

} // namespace

namespace SampleCard {

QByteArray ArchiveData(int nRecords, qint64 nStartSecs, quint32 nSeed)
{
    QByteArray data;
    data.reserve(16 + qsizetype(nRecords) * RECORD_SIZE);
    data += "PR8ARCH1";
    PutU32(data, quint32(nRecords));
    PutU16(data, CHANNELS);
    PutU16(data, RECORD_SIZE);
    Lcg random(nSeed);
    qint32 values[CHANNELS];
    for (int i = 0; i < CHANNELS; ++i)
        values[i] = 1000 * (i + 1);
    for (int nRecord = 0; nRecord < nRecords; ++nRecord) {
        PutU32(data, quint32(nStartSecs + qint64(nRecord) * RECORD_INTERVAL_S));
        PutU16(data, nRecord % 360 == 0 ? 0x0001 : 0x0000);
        PutU16(data, 0);
        // Slowly drifting process values, like a plant in steady operation.
        for (int i = 0; i < CHANNELS; ++i) {
            values[i] = qBound(0, values[i] + int(random.Next() % 21) - 10, 0x7FFF);
            PutU16(data, quint16(values[i]));
        }
    }
    return data;
}

bool Make(const QString &strDir, QString *pError)
{
    if (!QDir().mkpath(strDir)) {
        if (pError)
            *pError = QStringLiteral("cannot create %1").arg(strDir);
        return false;
    }
    const QDateTime now = QDateTime::currentDateTime();
    const QDateTime start = now.addDays(-21);
    const QString strBase = strDir + QLatin1Char('/');
    static const int records[] = {12000, 18000, 25000};
    for (int i = 0; i < 3; ++i) {
        const QDateTime from = start.addDays(i * 7);
        const QByteArray data = ArchiveData(records[i], from.toSecsSinceEpoch(), quint32(i + 1));
        const QString strName = QStringLiteral("ARCH%1.DAT").arg(i + 1, 4, 10, QLatin1Char('0'));
        if (!WriteFile(strBase + strName, data, from.addDays(7).addSecs(-3 * 3600 + i * 977), pError))
            return false;
    }
    return WriteFile(strBase + QStringLiteral("CONFIG.INI"), ConfigText(), now.addDays(-40).addSecs(5405),
                     pError) &&
           WriteFile(strBase + QStringLiteral("SYSTEM.IMG"), SystemImage(), now.addDays(-200).addSecs(-7322),
                     pError) &&
           WriteFile(strBase + QStringLiteral("REPORT.CSV"), ReportCsv(start.toSecsSinceEpoch()),
                     now.addSecs(-2 * 3600 - 125), pError);
}

} // namespace SampleCard
