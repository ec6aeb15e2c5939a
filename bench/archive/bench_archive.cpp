// The archive of a full card against copying its files by hand: 200 files, 200 MB in all,
// archived through the in-process emulator into a folder on the same disk as the card folder,
// against `cp FILE` then `sync FILE` for each file, in the same run with a warm cache. A copy
// in this process (read, write, fsync) is timed too, as the stricter yardstick.
//
//   bench_archive [FILES] [TOTAL_MB]   (default 200 files, 200 MB; three rounds, best of each)

#include "cli/CliRunner.h"
#include "sim/SimTransport.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLoggingCategory>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr qint64 MB = 1024 * 1024;
constexpr int ROUNDS = 3;

bool MakeCard(const QString &strCard, int nFiles, qint64 nTotal)
{
    QRandomGenerator generator(20090307);
    QByteArray data;
    for (int i = 0; i < nFiles; ++i) {
        // Sizes vary around the mean, as a recorder's archive files do; the last takes the rest.
        const qint64 nMean = nTotal / nFiles;
        qint64 nSize = nMean / 2 + qint64(generator.bounded(quint32(nMean)));
        if (i == nFiles - 1)
            nSize = nTotal - (nMean * (nFiles - 1));
        data.resize(nSize);
        generator.fillRange(reinterpret_cast<quint32 *>(data.data()), nSize / 4);
        QFile file(QStringLiteral("%1/ARCH%2.DAT").arg(strCard).arg(i, 4, 10, QLatin1Char('0')));
        if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size())
            return false;
    }
    return true;
}

// Reads every card file so that each round starts with a warm cache.
void WarmUp(const QString &strCard)
{
    for (const QString &strName : QDir(strCard).entryList(QDir::Files)) {
        QFile file(strCard + QLatin1Char('/') + strName);
        if (file.open(QIODevice::ReadOnly))
            while (!file.read(MB).isEmpty()) {
            }
    }
}

double CopyWithTools(const QString &strCard, const QString &strOut)
{
    QDir().mkpath(strOut);
    QElapsedTimer timer;
    timer.start();
    for (const QString &strName : QDir(strCard).entryList(QDir::Files)) {
        const QString strTarget = strOut + QLatin1Char('/') + strName;
        QProcess::execute(QStringLiteral("cp"), {strCard + QLatin1Char('/') + strName, strTarget});
        QProcess::execute(QStringLiteral("sync"), {strTarget});
    }
    return timer.elapsed() / 1000.0;
}

double CopyInProcess(const QString &strCard, const QString &strOut)
{
    QDir().mkpath(strOut);
    QByteArray buffer(MB, Qt::Uninitialized);
    QElapsedTimer timer;
    timer.start();
    for (const QString &strName : QDir(strCard).entryList(QDir::Files)) {
        const int nIn = ::open(QFile::encodeName(strCard + QLatin1Char('/') + strName).constData(), O_RDONLY);
        const int nOut = ::open(QFile::encodeName(strOut + QLatin1Char('/') + strName).constData(),
                                O_WRONLY | O_CREAT | O_TRUNC, 0644);
        for (ssize_t n; (n = ::read(nIn, buffer.data(), size_t(buffer.size()))) > 0;)
            if (::write(nOut, buffer.constData(), size_t(n)) != n)
                break;
        ::fsync(nOut);
        ::close(nIn);
        ::close(nOut);
    }
    return timer.elapsed() / 1000.0;
}

double Archive(const QString &strCard, const QString &strOut, FILE *pNull)
{
    QElapsedTimer timer;
    timer.start();
    CliRunner runner(pNull, stderr);
    const int nStatus = runner.Run({QStringLiteral("--link"), QStringLiteral("sim:") + strCard,
                                    QStringLiteral("--no-progress"), QStringLiteral("archive"),
                                    QStringLiteral("--to"), strOut});
    const double dSeconds = timer.elapsed() / 1000.0;
    return nStatus == 0 ? dSeconds : -1.0;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QLoggingCategory::setFilterRules(QStringLiteral("orvo.*.debug=false"));
    RegisterSimTransport();
    const QStringList args = app.arguments();
    const int nFiles = args.size() > 1 ? args.at(1).toInt() : 200;
    const qint64 nTotal = (args.size() > 2 ? args.at(2).toLongLong() : 200) * MB;

    // The card and the archive on the same disk: the build folder's, not a RAM-backed /tmp.
    QTemporaryDir root(QDir::currentPath() + QStringLiteral("/bench-archive-XXXXXX"));
    const QString strCard = root.filePath(QStringLiteral("card"));
    QDir().mkpath(strCard);
    if (!MakeCard(strCard, nFiles, nTotal)) {
        std::fprintf(stderr, "cannot write the card folder\n");
        return 1;
    }
    FILE *pNull = std::fopen("/dev/null", "w");
    double dTools = 1e9, dCopy = 1e9, dArchive = 1e9;
    for (int nRound = 0; nRound < ROUNDS; ++nRound) {
        const QString strRound = root.filePath(QStringLiteral("round%1").arg(nRound));
        WarmUp(strCard);
        dTools = qMin(dTools, CopyWithTools(strCard, strRound + QStringLiteral("/cp")));
        WarmUp(strCard);
        dCopy = qMin(dCopy, CopyInProcess(strCard, strRound + QStringLiteral("/copy")));
        WarmUp(strCard);
        const double dRun = Archive(strCard, strRound + QStringLiteral("/archive"), pNull);
        if (dRun < 0) {
            std::fprintf(stderr, "the archive run failed\n");
            return 1;
        }
        dArchive = qMin(dArchive, dRun);
        QDir(strRound).removeRecursively();
    }
    std::fclose(pNull);
    const double dMb = double(nTotal) / MB;
    std::printf("%d files, %.0f MB, best of %d rounds, warm cache\n", nFiles, dMb, ROUNDS);
    std::printf("  cp + sync FILE each   %6.2f s  %6.1f MB/s\n", dTools, dMb / dTools);
    std::printf("  copy + fsync in-proc  %6.2f s  %6.1f MB/s\n", dCopy, dMb / dCopy);
    std::printf("  archive (emulator)    %6.2f s  %6.1f MB/s  %.2f x cp+sync, %.2f x in-process copy\n",
                dArchive, dMb / dArchive, dArchive / dTools, dArchive / dCopy);
    return 0;
}
