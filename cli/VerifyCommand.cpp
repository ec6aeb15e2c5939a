// verify: an archive folder checked against its SHA256SUMS and its journal's hash chain,
// without the recorder.

#include "archive/ArchiveVerifier.h"
#include "cli/CliArguments.h"
#include "cli/CliCommand.h"
#include "cli/CliContext.h"
#include "cli/ListingFormat.h"
#include "cli/ResultText.h"
#include "core/LocalFileName.h"
#include "core/RecorderResult.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <limits>

namespace {

const QString OPT_QUICK = QStringLiteral("--quick");
const QString OPT_JSON = QStringLiteral("--json");
const QString OPT_ALL = QStringLiteral("--all");

// Card files fit in 32 bits; a larger file's bar stops at its end.
quint32 BarBytes(qint64 nBytes)
{
    return quint32(qBound<qint64>(0, nBytes, std::numeric_limits<quint32>::max()));
}

QString ChainState(const ArchiveVerifier::Result &result)
{
    const JournalChain::ChainCheck &chain = result.chain;
    if (result.bJournalMissing)
        return QStringLiteral("missing (no %1)").arg(LocalNames::JOURNAL);
    if (!chain.strError.isEmpty())
        return QStringLiteral("unreadable (%1)").arg(chain.strError);
    if (chain.breaks.isEmpty())
        return QStringLiteral("intact (%1 %2)")
            .arg(chain.nLines)
            .arg(chain.nLines == 1 ? QStringLiteral("line") : QStringLiteral("lines"));
    return QStringLiteral("broken at %1 of %2 lines").arg(chain.breaks.size()).arg(chain.nLines);
}

QStringList TextLines(const ArchiveVerifier::Result &result, bool bQuick)
{
    QStringList lines;
    for (const ArchiveVerifier::Difference &difference : result.differences) {
        QString strLine = QString(ArchiveVerifier::MarkChar(difference.eMark)) + QLatin1Char(' ') +
                          ListingFormat::PrintableName(difference.strName);
        if (!difference.strReason.isEmpty())
            strLine += QLatin1Char('\t') + ListingFormat::PrintableName(difference.strReason);
        lines.append(strLine);
    }
    for (const JournalChain::Break &chainBreak : result.chain.breaks)
        lines.append(QStringLiteral("journal line %1: %2")
                         .arg(chainBreak.nLine)
                         .arg(JournalChain::FaultText(chainBreak.eFault)));
    if (result.nManifestBadLines > 0)
        lines.append(QStringLiteral("%1: %2 lines not in sha256sum's format")
                         .arg(LocalNames::MANIFEST)
                         .arg(result.nManifestBadLines));
    if (result.bManifestTorn)
        lines.append(QStringLiteral("%1: its last line is cut short").arg(LocalNames::MANIFEST));

    const ArchiveVerifier::Counts &counts = result.counts;
    lines.append(
        QStringLiteral("%1 files checked%2: %3 matching, %4 changed, %5 missing, %6 added, %7 unreadable")
            .arg(counts.nChecked)
            .arg(bQuick ? QStringLiteral(" (size and date)") : QString())
            .arg(counts.nMatches)
            .arg(counts.nChanged)
            .arg(counts.nMissing)
            .arg(counts.nAdded)
            .arg(counts.nUnreadable));
    lines.append(QStringLiteral("journal chain: %1").arg(ChainState(result)));
    if (!result.chain.strHeadHash.isEmpty())
        lines.append(QStringLiteral("journal head: %1").arg(result.chain.strHeadHash));
    return lines;
}

QByteArray Json(const ArchiveVerifier::Result &result, bool bQuick)
{
    const ArchiveVerifier::Counts &counts = result.counts;
    QJsonArray differences;
    for (const ArchiveVerifier::Difference &difference : result.differences)
        differences.append(QJsonObject{{"mark", QString(ArchiveVerifier::MarkChar(difference.eMark))},
                                       {"name", difference.strName},
                                       {"reason", difference.strReason}});
    QJsonArray breaks;
    for (const JournalChain::Break &chainBreak : result.chain.breaks)
        breaks.append(
            QJsonObject{{"line", chainBreak.nLine}, {"what", JournalChain::FaultText(chainBreak.eFault)}});
    QJsonObject chain{
        {"intact", result.chain.IsIntact()}, {"lines", result.chain.nLines}, {"breaks", breaks}};
    if (!result.chain.strError.isEmpty())
        chain.insert("error", result.chain.strError);
    const QJsonObject object{
        {"folder", result.strFolder},
        {"quick", bQuick},
        {"counts", QJsonObject{{"checked", counts.nChecked},
                               {"matches", counts.nMatches},
                               {"changed", counts.nChanged},
                               {"missing", counts.nMissing},
                               {"added", counts.nAdded},
                               {"unreadable", counts.nUnreadable}}},
        {"differences", differences},
        {"manifest",
         QJsonObject{{"bad_lines", result.nManifestBadLines}, {"torn_tail", result.bManifestTorn}}},
        {"chain", chain},
        {"journal_head", result.chain.strHeadHash.isEmpty() ? QJsonValue(QJsonValue::Null)
                                                            : QJsonValue(result.chain.strHeadHash)},
    };
    return QJsonDocument(object).toJson(QJsonDocument::Indented);
}

} // namespace

int RunVerify(CliContext &context, const QStringList &args)
{
    CliArguments parsed;
    QString strError;
    if (!parsed.Parse(args, {OPT_QUICK, OPT_JSON, OPT_ALL}, {}, &strError))
        return context.Usage(strError);
    if (parsed.Operands().size() != 1 || parsed.Operands().first().isEmpty())
        return context.Usage(QStringLiteral("verify takes one archive folder"));
    const QString strFolder = parsed.Operands().first();
    if (!QFileInfo(strFolder).isDir())
        return context.Fail(RESULT_HOST_IO_ERROR,
                            QStringLiteral("%1 is not a folder").arg(ListingFormat::Quoted(strFolder)));

    // One progress line for the whole check: each file takes over the line of the one before.
    ProgressBar &bar = context.Progress();
    bool bStarted = false;
    int nFile = 0;
    const ArchiveVerifier verifier(strFolder, [&](const ArchiveVerifier::Step &step) {
        if (!bStarted) {
            bar.StartRun(step.nFiles, quint64(step.nTotalBytes));
            bStarted = true;
        }
        if (step.nFile != nFile) {
            nFile = step.nFile;
            bar.Start(ListingFormat::PrintableName(step.strName));
        }
        bar.Update(BarBytes(step.nDone), BarBytes(step.nSize));
        return !context.IsStopped();
    });
    ArchiveVerifier::Options options;
    options.bQuick = parsed.Has(OPT_QUICK);
    options.bListMatches = parsed.Has(OPT_ALL);
    const ArchiveVerifier::Result result = verifier.Verify(options);
    if (bStarted) {
        bar.Finish(!result.bCancelled);
        bar.EndRun();
    }

    if (result.bCancelled)
        return context.Fail(RESULT_CANCELLED, QStringLiteral("verify cancelled"));
    if (!result.strManifestError.isEmpty())
        return context.Fail(RESULT_HOST_IO_ERROR,
                            QStringLiteral("cannot verify %1: %2")
                                .arg(ListingFormat::Quoted(strFolder),
                                     ListingFormat::PrintableName(result.strManifestError)));
    if (parsed.Has(OPT_JSON))
        context.PrintRaw(Json(result, options.bQuick));
    else
        for (const QString &strLine : TextLines(result, options.bQuick))
            context.Print(strLine);
    if (result.HasDifferences())
        return EXIT_DIFFERENCES;
    return result.HasUnreadable() ? int(RESULT_HOST_IO_ERROR) : 0;
}
