// SHA-256 of a buffer held in memory, in the 1 MiB pieces a download or a read from disk hands
// over: Sha256 (libcrypto) against QCryptographicHash, as CPU seconds a GB and MB/s.
//
//   bench_sha256 [SIZE_MB]   (default 256; best of three rounds)

#include "archive/Sha256.h"

#include <QByteArray>
#include <QCryptographicHash>
#include <QRandomGenerator>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <functional>

namespace {

constexpr qsizetype MB = 1000 * 1000;
constexpr qsizetype PIECE = 1024 * 1024;
constexpr int ROUNDS = 3;

double CpuSeconds()
{
    timespec ts = {};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) / 1e9;
}

double WallSeconds()
{
    timespec ts = {};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) / 1e9;
}

void Measure(const char *pszName, const QByteArray &data, const std::function<QByteArray()> &hash)
{
    double dBestCpu = 1e9;
    double dBestWall = 1e9;
    QByteArray hex;
    for (int i = 0; i < ROUNDS; ++i) {
        const double dCpu = CpuSeconds();
        const double dWall = WallSeconds();
        hex = hash();
        dBestCpu = qMin(dBestCpu, CpuSeconds() - dCpu);
        dBestWall = qMin(dBestWall, WallSeconds() - dWall);
    }
    const double dGb = double(data.size()) / 1e9;
    std::printf("%-20s %6.3f CPU s  %6.3f CPU s/GB  %7.0f MB/s  %s\n", pszName, dBestCpu, dBestCpu / dGb,
                double(data.size()) / MB / dBestWall, hex.left(16).constData());
}

} // namespace

int main(int argc, char **argv)
{
    const qsizetype nSize = (argc > 1 ? std::atoi(argv[1]) : 256) * MB;
    QByteArray data(nSize, Qt::Uninitialized);
    QRandomGenerator(20090307).fillRange(reinterpret_cast<quint32 *>(data.data()), nSize / 4);
    std::printf("%lld MB in memory, %lld-byte pieces, best of %d\n", qint64(nSize / MB), qint64(PIECE),
                ROUNDS);

    Measure("Sha256", data, [&] {
        Sha256 hash;
        for (qsizetype i = 0; i < data.size(); i += PIECE)
            hash.Add(data.constData() + i, qMin(PIECE, data.size() - i));
        return hash.Hex();
    });
    Measure("QCryptographicHash", data, [&] {
        QCryptographicHash hash(QCryptographicHash::Sha256);
        for (qsizetype i = 0; i < data.size(); i += PIECE)
            hash.addData(QByteArrayView(data.constData() + i, qMin(PIECE, data.size() - i)));
        return hash.result().toHex();
    });
    return 0;
}
