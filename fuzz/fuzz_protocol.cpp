// libFuzzer target: arbitrary recorder bytes fed to the frame reader and to every protocol
// operation through an in-memory transport that never waits. After each input it checks that
// nothing was written outside the destination folder, that no download was reported done
// unless its bytes add up to the first block's total, and that nothing in the folder was lost.
//
// An input is: one byte choosing the operation, one byte of options, then what the recorder
// says. Options: bits 0-2 pick a name (card file, local source), bit 3 asks to replace
// existing files, bits 4-7 set the stop event after that many host writes (0: never).

#include "fuzz/FuzzScratch.h"
#include "fuzz/FuzzTransport.h"

#include "core/DownloadPlan.h"
#include "core/FileDownloadSink.h"
#include "core/IDownloadSink.h"
#include "link/Frame.h"
#include "link/RecorderLink.h"
#include "protocol/ManualResetEvent.h"
#include "protocol/PostTarget.h"
#include "protocol/ProtocolCodes.h"
#include "protocol/RecorderFileEntry.h"
#include "protocol/RecorderProtocol.h"
#include "protocol/ReportMessages.h"

#include <QByteArray>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QString>
#include <QStringList>

#include <memory>

namespace {

enum Operation : quint8 {
    OP_FRAMES,
    OP_DEVICE_INFO,
    OP_CARD_INFO,
    OP_LIST,
    OP_GET_INTO_FOLDER,
    OP_GET_BY_PLAN,
    OP_PUT,
    OP_DELETE,
    OP_SAVE_ARCHIVE,
    OP_ALL, // every operation in turn on the same bytes
    OP_COUNT
};

// Card names a download or deletion asks for: ordinary, already in the folder, a link in the
// folder (pointing outside, or nowhere), names that would leave the folder, the longest name a
// folder holds and one byte more.
const QStringList &CardNames()
{
    static const QStringList names = {
        QStringLiteral("A.DAT"),        QStringLiteral("OLD.DAT"),       QStringLiteral("LINK.DAT"),
        QStringLiteral("DANGLE.DAT"),   QStringLiteral("../ESCAPE.DAT"), QStringLiteral("sub\\B.DAT"),
        QString(255, QLatin1Char('L')), QString(256, QLatin1Char('L')),
    };
    return names;
}

// Counts what a download hands to the file and takes the first block's total from the frame
// being handled when the first bytes arrive.
class CheckingSink final : public IDownloadSink
{
public:
    CheckingSink(IDownloadSink &inner, RecorderProtocol &protocol)
        : m_inner(inner)
        , m_protocol(protocol)
    {}

    RecorderResult Open() override { return m_inner.Open(); }
    RecorderResult Write(const quint8 *pData, quint32 nLen) override
    {
        if (!m_bSeen) {
            m_nFirstTotal = m_protocol.ResponseFrame().U32(BLOCK_OFFSET_TOTAL);
            m_bSeen = true;
        }
        m_nCount += nLen;
        return m_inner.Write(pData, nLen);
    }
    RecorderResult Flush() override { return m_inner.Flush(); }
    RecorderResult Commit() override
    {
        RecorderResult result = m_inner.Commit();
        m_bCommitted = result.IsOk();
        return result;
    }
    void Discard() override { m_inner.Discard(); }

    bool m_bSeen = false;
    bool m_bCommitted = false;
    quint32 m_nFirstTotal = 0;
    quint64 m_nCount = 0;

private:
    IDownloadSink &m_inner;
    RecorderProtocol &m_protocol;
};

// What a download left under its local name: a complete file when done, else what was there.
void CheckDownloaded(const FuzzScratch &scratch, const QString &strLocalName, const RecorderResult &result,
                     qint64 nExpectedSize)
{
    const QString strPath = scratch.strDest + strLocalName;
    const QFileInfo info(strPath);
    if (result.IsOk()) {
        FUZZ_CHECK(info.isFile() && !info.isSymLink(), strPath);
        FUZZ_CHECK(
            info.size() == nExpectedSize,
            QStringLiteral("%1 has %2 bytes, %3 announced").arg(strPath).arg(info.size()).arg(nExpectedSize));
    } else if (strLocalName == QLatin1String("OLD.DAT")) {
        QFile file(strPath);
        FUZZ_CHECK(file.open(QIODevice::ReadOnly) && file.readAll() == FuzzScratch::OLD_CONTENT,
                   QStringLiteral("a failed download changed the older copy"));
    }
}

void GetIntoFolder(RecorderProtocol &protocol, const ManualResetEvent &stop, const PostTarget &target,
                   const QString &strName)
{
    const RecorderResult result = protocol.GetFile(stop, target, strName, TheScratch().strDest);
    // Every block had the first block's total, so the last one shows it.
    CheckDownloaded(TheScratch(), strName, result, protocol.ResponseFrame().U32(BLOCK_OFFSET_TOTAL));
}

void GetByPlan(RecorderProtocol &protocol, const ManualResetEvent &stop, const PostTarget &target,
               const QString &strName, bool bReplace)
{
    DownloadPlan plan(TheScratch().strDest,
                      bReplace ? DownloadPlan::Existing::Replace : DownloadPlan::Existing::Refuse);
    const DownloadPlan::Item item = plan.Add(strName);
    FileDownloadSink file(plan, item);
    CheckingSink sink(file, protocol);
    const RecorderResult result = protocol.GetFile(stop, target, strName, sink);
    FUZZ_CHECK(sink.m_bCommitted == result.IsOk(), result.Detail());
    if (result.IsOk()) {
        FUZZ_CHECK(item.IsToDownload(), strName);
        FUZZ_CHECK(sink.m_bSeen && sink.m_nCount == sink.m_nFirstTotal,
                   QStringLiteral("%1 reported done with %2 of %3 bytes")
                       .arg(strName)
                       .arg(sink.m_nCount)
                       .arg(sink.m_nFirstTotal));
    }
    CheckDownloaded(TheScratch(), item.strLocalName, result, sink.m_nFirstTotal);
}

void ReadFrames(RecorderLink &link)
{
    Frame frame;
    while (frame.Receive(link) == 0) {
        FUZZ_CHECK(frame.IsValid(), QString());
        FUZZ_CHECK(frame.Length() <= frame.ReceivedBytes(), QString());
        FUZZ_CHECK(frame.ReceivedBytes() <= Frame::FRAME_CAPACITY, QString());
        FUZZ_CHECK(frame.ReceivedBytes() % Frame::BLOCK_SIZE == 0, QString());
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    // Every refused frame is logged; the log would cost more than the work.
    QLoggingCategory::setFilterRules(QStringLiteral("orvo.*=false"));
    TheScratch().Make();
    std::atexit([] { TheScratch().Remove(); });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *pData, size_t nSize)
{
    if (nSize < 2)
        return 0;
    const quint8 nOperation = pData[0] % OP_COUNT;
    const quint8 nOptions = pData[1];
    const QString strName = CardNames().at(nOptions & 7);
    const bool bReplace = nOptions & 8;
    const int nStopAfterWrites = nOptions >> 4;

    auto pTransport = std::make_unique<FuzzTransport>(
        QByteArray(reinterpret_cast<const char *>(pData + 2), qsizetype(nSize - 2)));
    ManualResetEvent stop;
    pTransport->onWrite = [&stop, nStopAfterWrites](int nWrites) {
        if (nStopAfterWrites > 0 && nWrites >= nStopAfterWrites)
            stop.Set();
    };
    RecorderLink link(std::move(pTransport));
    link.Open();
    // The transport never waits, so no time-out is ever reached within one input; a long one
    // keeps runs repeatable. The empty-block timer of downloads runs on the same time-out.
    link.SetTimeoutMs(10000);
    RecorderProtocol protocol(link);
    // The archive save's wait is cut short without a clock, so that every run takes the same
    // path: the recorder is unplugged during the first pause after an instant failure, which
    // ends the save at its next try.
    protocol.SetSaveArchiveTimeoutMs(1000);
    protocol.SetSaveArchiveRetryPause([&link](int) { link.Close(); });

    quintptr nEntries = 0;
    const PostTarget target = PostTarget::ForFunction([&nEntries](PostedMessage &&message) {
        if (const FileEntryPost *pEntry = message.Get<FileEntryPost>()) {
            FUZZ_CHECK(pEntry->nIndex == nEntries && pEntry->entry.HasName(), QString());
            FUZZ_CHECK(++nEntries <= MAX_LIST_ENTRIES, QString());
        } else if (const ProgressPost *pProgress = message.Get<ProgressPost>()) {
            FUZZ_CHECK(pProgress->nSoFar <= pProgress->nTotal,
                       QStringLiteral("progress %1 of %2").arg(pProgress->nSoFar).arg(pProgress->nTotal));
        }
    });

    const auto run = [&](quint8 nOp) {
        switch (nOp) {
        case OP_FRAMES:
            ReadFrames(link);
            break;
        case OP_DEVICE_INFO:
            protocol.GetDeviceInfo(target);
            break;
        case OP_CARD_INFO:
            protocol.GetCardInfo(target);
            break;
        case OP_LIST:
            nEntries = 0;
            protocol.ListFiles(stop, target);
            break;
        case OP_GET_INTO_FOLDER:
            GetIntoFolder(protocol, stop, target, strName);
            break;
        case OP_GET_BY_PLAN:
            GetByPlan(protocol, stop, target, strName, bReplace);
            break;
        case OP_PUT:
            protocol.PutFile(stop, target, TheScratch().SourcePath(FuzzScratch::SOURCE_SIZES[nOptions & 3]),
                             bReplace);
            break;
        case OP_DELETE:
            protocol.DeleteCardFile(strName);
            break;
        case OP_SAVE_ARCHIVE:
            protocol.SaveArchiveData();
            link.Open();
            break;
        default:
            break;
        }
    };
    if (nOperation == OP_ALL) {
        for (quint8 nOp = OP_DEVICE_INFO; nOp < OP_ALL; ++nOp) {
            run(nOp);
            // A download that stands in the folder would turn the next one into a refusal.
            TheScratch().CheckAndReset();
        }
        ReadFrames(link);
    } else {
        run(nOperation);
    }
    TheScratch().CheckAndReset();
    return 0;
}
