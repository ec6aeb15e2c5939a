// Download throughput through the in-process emulator against a plain copy of the same file,
// and the process's peak memory, which must not grow with the file's size.
//
//   bench_transfer [SIZE_MB]   (default 256; a 32 MB run always goes first for comparison)

#include "link/RecorderLink.h"
#include "link/TransportRegistry.h"
#include "protocol/ManualResetEvent.h"
#include "protocol/PostTarget.h"
#include "protocol/ProtocolCodes.h"
#include "protocol/RecorderProtocol.h"
#include "sim/SimTransport.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QFile>
#include <QLoggingCategory>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <cstdio>
#include <unistd.h>

namespace {

constexpr qint64 MB = 1024 * 1024;
constexpr qint64 COPY_BUFFER = MB;
const QString FILE_NAME = QStringLiteral("BENCH.DAT");

// Peak resident memory of this process so far, in kB.
qint64 PeakMemoryKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}

bool MakeCardFile(const QString &strPath, qint64 nBytes)
{
    QFile file(strPath);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QByteArray chunk(COPY_BUFFER, Qt::Uninitialized);
    QRandomGenerator generator(20090307);
    for (qint64 nDone = 0; nDone < nBytes; nDone += chunk.size()) {
        generator.fillRange(reinterpret_cast<quint32 *>(chunk.data()), chunk.size() / 4);
        const qint64 nWant = qMin<qint64>(chunk.size(), nBytes - nDone);
        if (file.write(chunk.constData(), nWant) != nWant)
            return false;
    }
    return true;
}

QByteArray Sha256(const QString &strPath)
{
    QFile file(strPath);
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!file.open(QIODevice::ReadOnly) || !hash.addData(&file))
        return {};
    return hash.result();
}

// Seconds for a read/write loop copy, or -1.
double PlainCopy(const QString &strFrom, const QString &strTo)
{
    QElapsedTimer timer;
    timer.start();
    QFile in(strFrom);
    QFile out(strTo);
    if (!in.open(QIODevice::ReadOnly) || !out.open(QIODevice::WriteOnly))
        return -1;
    QByteArray buffer(COPY_BUFFER, Qt::Uninitialized);
    for (;;) {
        const qint64 nRead = in.read(buffer.data(), buffer.size());
        if (nRead < 0)
            return -1;
        if (nRead == 0)
            break;
        if (out.write(buffer.constData(), nRead) != nRead)
            return -1;
    }
    out.close();
    return double(timer.nsecsElapsed()) / 1e9;
}

// Seconds for RecorderProtocol::GetFile through the emulator, or -1.
double Download(const QString &strCard, const QString &strFolder)
{
    QString strError;
    RecorderLink link(TransportRegistry::Create(QStringLiteral("sim:") + strCard, &strError));
    if (!link.Open()) {
        std::fprintf(stderr, "cannot open the emulator: %s %s\n", qPrintable(strError),
                     qPrintable(link.LastOpenFailure()));
        return -1;
    }
    RecorderProtocol protocol(link);
    ManualResetEvent stop;
    quint64 nReports = 0;
    const PostTarget target = PostTarget::ForFunction([&nReports](PostedMessage &&) { ++nReports; });
    QElapsedTimer timer;
    timer.start();
    const int nResult = protocol.GetFile(stop, target, FILE_NAME, strFolder + QLatin1Char('/'));
    const double dSeconds = double(timer.nsecsElapsed()) / 1e9;
    if (nResult != RESULT_OK) {
        std::fprintf(stderr, "download failed with result %d\n", nResult);
        return -1;
    }
    return dSeconds;
}

struct RunFigures
{
    double dCopyMBs = 0;
    double dDownloadMBs = 0;
    qint64 nPeakBeforeKb = 0;
    qint64 nPeakAfterKb = 0;
};

// Best of nRounds for each, alternating, so both see the same page-cache conditions.
bool Run(qint64 nSizeMb, int nRounds, RunFigures *pFigures)
{
    QTemporaryDir card;
    QTemporaryDir copies;
    if (!card.isValid() || !copies.isValid())
        return false;
    const QString strSource = card.filePath(FILE_NAME);
    if (!MakeCardFile(strSource, nSizeMb * MB)) {
        std::fprintf(stderr, "cannot create the %lld MB card file\n", nSizeMb);
        return false;
    }
    pFigures->nPeakBeforeKb = PeakMemoryKb();
    double dBestCopy = 1e30;
    double dBestDownload = 1e30;
    for (int i = 0; i < nRounds; ++i) {
        const QString strCopy = copies.filePath(QStringLiteral("copy.dat"));
        // Each measurement starts with no dirty pages, so neither pays for the other's
        // write-back.
        ::sync();
        const double dCopy = PlainCopy(strSource, strCopy);
        QFile::remove(strCopy);
        ::sync();
        const double dDownload = Download(card.path(), copies.path());
        if (dCopy < 0 || dDownload < 0)
            return false;
        dBestCopy = qMin(dBestCopy, dCopy);
        dBestDownload = qMin(dBestDownload, dDownload);
        if (i + 1 == nRounds && Sha256(copies.filePath(FILE_NAME)) != Sha256(strSource)) {
            std::fprintf(stderr, "the downloaded file differs from the card file\n");
            return false;
        }
        QFile::remove(copies.filePath(FILE_NAME));
    }
    pFigures->nPeakAfterKb = PeakMemoryKb();
    pFigures->dCopyMBs = double(nSizeMb) / dBestCopy;
    pFigures->dDownloadMBs = double(nSizeMb) / dBestDownload;
    return true;
}

void Print(qint64 nSizeMb, const RunFigures &figures)
{
    std::printf("%5lld MB  plain copy %8.1f MB/s   download %8.1f MB/s (%3.0f%% of copy)   "
                "peak memory %lld kB -> %lld kB\n",
                nSizeMb, figures.dCopyMBs, figures.dDownloadMBs,
                100.0 * figures.dDownloadMBs / figures.dCopyMBs, figures.nPeakBeforeKb, figures.nPeakAfterKb);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    // Frame dumps at debug level would measure the terminal, not the transfer.
    if (qEnvironmentVariableIsEmpty("QT_LOGGING_RULES"))
        QLoggingCategory::setFilterRules(QStringLiteral("orvo.*.debug=false"));
    RegisterSimTransport();
    const qint64 nSizeMb = argc > 1 ? qMax(1LL, QByteArray(argv[1]).toLongLong()) : 256;
    constexpr qint64 SMALL_MB = 32;
    constexpr int ROUNDS = 3;

    RunFigures small;
    RunFigures large;
    if (!Run(SMALL_MB, ROUNDS, &small) || !Run(nSizeMb, ROUNDS, &large))
        return 1;
    Print(SMALL_MB, small);
    Print(nSizeMb, large);

    const double dShare = large.dDownloadMBs / large.dCopyMBs;
    const qint64 nGrowthKb = large.nPeakAfterKb - small.nPeakAfterKb;
    std::printf("download/copy: %.2f (target >= 0.50): %s\n", dShare, dShare >= 0.5 ? "met" : "MISSED");
    std::printf("peak memory growth from %lld MB to %lld MB: %lld kB (target: flat): %s\n", SMALL_MB, nSizeMb,
                nGrowthKb, nGrowthKb < 4096 ? "flat" : "GROWS");
    return dShare >= 0.5 && nGrowthKb < 4096 ? 0 : 2;
}
