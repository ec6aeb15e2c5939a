// The check of an archive folder against coreutils' own check of its manifest: 200 files, 1 GB
// in all, with their SHA256SUMS and a chained journal, checked by `verify DIR` (in this process)
// and by `sha256sum -c --quiet SHA256SUMS` in the folder, in the same run with a warm cache.
//
//   bench_verify [FILES] [TOTAL_MB]   (default 200 files, 1024 MB; three rounds, best of each)

#include "archive/JournalChain.h"
#include "archive/Manifest.h"
#include "archive/Sha256.h"
#include "cli/CliRunner.h"
#include "core/LocalFileName.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLoggingCategory>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <cstdio>

namespace {

constexpr qint64 MB = 1024 * 1024;
constexpr int ROUNDS = 3;

// The files, their manifest lines and a journal line each, linked as the archive links them.
bool MakeArchive(const QString &strDir, int nFiles, qint64 nTotal)
{
    QRandomGenerator generator(20090307);
    QByteArray data;
    QList<Manifest::Entry> entries;
    QByteArray journal;
    QString strPrev = JournalChain::FirstPrev();
    for (int i = 0; i < nFiles; ++i) {
        // Sizes vary around the mean, as a recorder's archive files do; the last takes the rest.
        const qint64 nMean = nTotal / nFiles;
        qint64 nSize = nMean / 2 + qint64(generator.bounded(quint32(nMean)));
        if (i == nFiles - 1)
            nSize = nTotal - (nMean * (nFiles - 1));
        data.resize(nSize);
        generator.fillRange(reinterpret_cast<quint32 *>(data.data()), nSize / 4);
        const QString strName = QStringLiteral("ARCH%1.DAT").arg(i, 4, 10, QLatin1Char('0'));
        QFile file(strDir + QLatin1Char('/') + strName);
        if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size())
            return false;
        Sha256 hash;
        hash.Add(data.constData(), data.size());
        entries.append({strName, hash.Hex()});
        const QByteArray line = QJsonDocument(QJsonObject{{"action", "downloaded"},
                                                          {"local_name", strName},
                                                          {"size", nSize},
                                                          {"sha256", QString::fromLatin1(hash.Hex())},
                                                          {"prev", strPrev}})
                                    .toJson(QJsonDocument::Compact) +
                                '\n';
        strPrev = JournalChain::LineHash(line);
        journal += line;
    }
    QFile file(strDir + QLatin1Char('/') + QLatin1String(LocalNames::JOURNAL));
    return Manifest(strDir).Append(entries).IsOk() && file.open(QIODevice::WriteOnly) &&
           file.write(journal) == journal.size();
}

// Reads every file so that each round starts with a warm cache.
void WarmUp(const QString &strDir)
{
    for (const QString &strName : QDir(strDir).entryList(QDir::Files)) {
        QFile file(strDir + QLatin1Char('/') + strName);
        if (file.open(QIODevice::ReadOnly))
            while (!file.read(MB).isEmpty()) {
            }
    }
}

double Sha256sum(const QString &strDir)
{
    QElapsedTimer timer;
    timer.start();
    QProcess process;
    process.setWorkingDirectory(strDir);
    process.start(QStringLiteral("sha256sum"),
                  {QStringLiteral("-c"), QStringLiteral("--quiet"), QLatin1String(LocalNames::MANIFEST)});
    const bool bOk = process.waitForFinished(-1) && process.exitStatus() == QProcess::NormalExit &&
                     process.exitCode() == 0;
    const double dSeconds = timer.elapsed() / 1000.0;
    return bOk ? dSeconds : -1.0;
}

double Verify(const QString &strDir, FILE *pNull)
{
    QElapsedTimer timer;
    timer.start();
    CliRunner runner(pNull, stderr);
    const int nStatus = runner.Run({QStringLiteral("--no-progress"), QStringLiteral("verify"), strDir});
    const double dSeconds = timer.elapsed() / 1000.0;
    return nStatus == 0 ? dSeconds : -1.0;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QLoggingCategory::setFilterRules(QStringLiteral("orvo.*.debug=false"));
    const QStringList args = app.arguments();
    const int nFiles = args.size() > 1 ? args.at(1).toInt() : 200;
    const qint64 nTotal = (args.size() > 2 ? args.at(2).toLongLong() : 1024) * MB;

    // On the build folder's disk, not a RAM-backed /tmp.
    QTemporaryDir root(QDir::currentPath() + QStringLiteral("/bench-verify-XXXXXX"));
    const QString strDir = root.path();
    if (!MakeArchive(strDir, nFiles, nTotal)) {
        std::fprintf(stderr, "cannot write the archive folder\n");
        return 1;
    }
    FILE *pNull = std::fopen("/dev/null", "w");
    double dTools = 1e9, dVerify = 1e9;
    for (int nRound = 0; nRound < ROUNDS; ++nRound) {
        WarmUp(strDir);
        const double dSum = Sha256sum(strDir);
        WarmUp(strDir);
        const double dRun = Verify(strDir, pNull);
        if (dSum < 0 || dRun < 0) {
            std::fprintf(stderr, "a check failed (sha256sum %.2f, verify %.2f)\n", dSum, dRun);
            return 1;
        }
        dTools = qMin(dTools, dSum);
        dVerify = qMin(dVerify, dRun);
    }
    std::fclose(pNull);
    const double dMb = double(nTotal) / MB;
    std::printf("%d files, %.0f MB, best of %d rounds, warm cache\n", nFiles, dMb, ROUNDS);
    std::printf("  sha256sum -c SHA256SUMS  %6.2f s  %7.1f MB/s\n", dTools, dMb / dTools);
    std::printf("  verify DIR               %6.2f s  %7.1f MB/s  %.2f x sha256sum -c\n", dVerify,
                dMb / dVerify, dVerify / dTools);
    return 0;
}
