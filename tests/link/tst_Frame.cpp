// Frames and the link's block moves, against a scripted transport.

#include "link/Frame.h"
#include "link/RecorderLink.h"
#include "support/ScriptedTransport.h"

#include <QTest>
#include <QThread>

namespace {

using Script = ScriptedTransport::Script;

struct Wire
{
    Wire()
    {
        auto pTransport = std::make_unique<ScriptedTransport>();
        pScript = pTransport->Shared();
        pLink = std::make_unique<RecorderLink>(std::move(pTransport));
        pLink->Open();
    }
    std::shared_ptr<Script> pScript;
    std::unique_ptr<RecorderLink> pLink;
};

QByteArray Reply(quint32 nLengthField, quint16 nCode = 0x8100, qsizetype nLength = -1, char fill = 'p')
{
    QByteArray bytes = ScriptedTransport::FrameBytes(Frame::FRAME_MAGIC, nLengthField, nCode, nLength);
    for (qsizetype i = 12; i < bytes.size(); ++i)
        bytes[i] = fill;
    return bytes;
}

// A recorder that never stops talking: every read, after a millisecond, yields up to nChunk
// bytes of the pattern, over and over; after nMaxReads reads it fails.
class BabblingTransport final : public ITransport
{
public:
    BabblingTransport(QByteArray pattern, qsizetype nChunk)
        : m_pattern(std::move(pattern))
        , m_nChunk(nChunk)
    {}
    bool Open(LinkOpenFailure *) override { return true; }
    void Close() override {}
    bool IsOpen() const override { return true; }
    bool Write(const quint8 *, qsizetype, int) override { return true; }
    qsizetype Read(quint8 *pData, qsizetype nMax, int) override
    {
        if (++m_nReads > MAX_READS)
            return -1;
        QThread::msleep(1);
        const qsizetype nCount = qMin(nMax, m_nChunk);
        for (qsizetype i = 0; i < nCount; ++i, m_nPos = (m_nPos + 1) % m_pattern.size())
            pData[i] = quint8(m_pattern.at(m_nPos));
        return nCount;
    }
    static constexpr int MAX_READS = 3000;
    int m_nReads = 0;

private:
    QByteArray m_pattern;
    qsizetype m_nChunk;
    qsizetype m_nPos = 0;
};

} // namespace

class tst_Frame final : public QObject
{
    Q_OBJECT

private slots:
    void prepareComputesWholeBlocks_data();
    void prepareComputesWholeBlocks();
    void validityChecksMagicLengthAndCode_data();
    void validityChecksMagicLengthAndCode();
    void sendWritesTheWholeFrameInOrder();
    void receiveReadsTheBlocksTheHeaderAnnounces();
    void receiveSkipsBlocksThatStartNoFrame();
    void receiveNeverReadsMoreThan32Blocks_data();
    void receiveNeverReadsMoreThan32Blocks();
    void receiveFailsWhenTheRecorderFallsSilent();
    void linkJoinsPartialReads();
    void babblingRecorderFailsWithinTheTimeout();
};

void tst_Frame::prepareComputesWholeBlocks_data()
{
    QTest::addColumn<quint32>("payload");
    QTest::addColumn<quint32>("length");
    QTest::newRow("no payload") << 0u << 1024u;
    QTest::newRow("one block full") << 1012u << 1024u;
    QTest::newRow("one byte over") << 1013u << 2048u;
    QTest::newRow("largest") << 32756u << 32768u;
}

void tst_Frame::prepareComputesWholeBlocks()
{
    QFETCH(quint32, payload);
    QFETCH(quint32, length);
    Frame frame;
    QCOMPARE(frame.Magic(), Frame::FRAME_MAGIC);
    QCOMPARE(frame.Code(), quint16(0));
    frame.Payload()[0] = 0xAB;
    frame.Prepare(0x4510, payload);
    QCOMPARE(frame.Length(), length);
    QCOMPARE(frame.Code(), quint16(0x4510));
    QCOMPARE(frame.Magic(), Frame::FRAME_MAGIC);
    QCOMPARE(frame.Payload()[0], quint8(0xAB)); // the payload is the caller's
    QVERIFY(frame.IsValid());
}

void tst_Frame::validityChecksMagicLengthAndCode_data()
{
    QTest::addColumn<quint16>("magic");
    QTest::addColumn<quint32>("length");
    QTest::addColumn<quint16>("code");
    QTest::addColumn<bool>("valid");
    QTest::newRow("reply") << quint16(0xFADE) << 1024u << quint16(0x8110) << true;
    QTest::newRow("transfer control") << quint16(0xFADE) << 2048u << quint16(0x4504) << true;
    QTest::newRow("length 0") << quint16(0xFADE) << 0u << quint16(0x8100) << true;
    QTest::newRow("full length") << quint16(0xFADE) << 32768u << quint16(0x8100) << true;
    QTest::newRow("bad magic") << quint16(0xDEFA) << 1024u << quint16(0x8100) << false;
    QTest::newRow("code 0x8000") << quint16(0xFADE) << 1024u << quint16(0x8000) << false;
    QTest::newRow("code 0x4400") << quint16(0xFADE) << 1024u << quint16(0x4400) << false;
    QTest::newRow("length 1500") << quint16(0xFADE) << 1500u << quint16(0x8100) << false;
    QTest::newRow("length 33792") << quint16(0xFADE) << 33792u << quint16(0x8100) << false;
}

void tst_Frame::validityChecksMagicLengthAndCode()
{
    QFETCH(quint16, magic);
    QFETCH(quint32, length);
    QFETCH(quint16, code);
    QFETCH(bool, valid);
    Frame frame;
    frame.SetU16(Frame::OFFSET_MAGIC, magic);
    frame.SetLength(length);
    frame.SetCode(code);
    QCOMPARE(frame.IsValid(), valid);
}

void tst_Frame::sendWritesTheWholeFrameInOrder()
{
    Wire wire;
    Frame frame;
    for (quint32 i = 0; i < Frame::MAX_PAYLOAD; ++i)
        frame.Payload()[i] = quint8(i / 1024 + 1); // each block recognisable
    frame.Prepare(0x4521, 3072 - 12);
    QCOMPARE(frame.Send(*wire.pLink), 0);
    QByteArray sent;
    for (const QByteArray &write : wire.pScript->writes)
        sent += write;
    QCOMPARE(sent.size(), 3072);
    QCOMPARE(sent, QByteArray(reinterpret_cast<const char *>(frame.Data()), 3072));
    QCOMPARE(quint8(sent[1024 + 500]), quint8(2));
    QCOMPARE(quint8(sent[2048 + 500]), quint8(3));
    QCOMPARE(wire.pLink->BlocksWritten(), quint64(3));
}

void tst_Frame::receiveReadsTheBlocksTheHeaderAnnounces()
{
    Wire wire;
    wire.pScript->toHost = Reply(4096, 0x8110, -1, 'a') + Reply(0, 0x8100, 1024, 'b') + Reply(1024, 0x4500);
    Frame frame;
    QCOMPARE(frame.Receive(*wire.pLink), 0);
    QCOMPARE(frame.Length(), 4096u);
    QCOMPARE(frame.ReceivedBytes(), 4096u);
    QCOMPARE(frame.Data()[4095], quint8('a'));
    QCOMPARE(wire.pLink->BlocksRead(), quint64(4));
    // Length 0 with a good magic and code: accepted after its one block.
    QCOMPARE(frame.Receive(*wire.pLink), 0);
    QCOMPARE(frame.Length(), 0u);
    QCOMPARE(frame.ReceivedBytes(), 1024u);
    QCOMPARE(frame.Data()[12], quint8('b'));
    QCOMPARE(frame.Receive(*wire.pLink), 0);
    QCOMPARE(frame.Code(), quint16(0x4500));
    QVERIFY(wire.pScript->toHost.isEmpty());
}

void tst_Frame::receiveSkipsBlocksThatStartNoFrame()
{
    Wire wire;
    // A block without magic whose "length" claims a full frame: only that block is dropped,
    // so the reply right behind it is not swallowed.
    QByteArray noise = ScriptedTransport::FrameBytes(0x1234, 32768, 0x8100, 1024);
    // A frame with a foreign code is dropped with its blocks.
    const QByteArray foreign = Reply(2048, 0x8000, -1, 'f');
    wire.pScript->toHost = noise + foreign + Reply(2048, 0x8110, -1, 'g');
    Frame frame;
    QCOMPARE(frame.Receive(*wire.pLink), 0);
    QCOMPARE(frame.Code(), quint16(0x8110));
    QCOMPARE(frame.Length(), 2048u);
    QCOMPARE(frame.Data()[2047], quint8('g'));
    QVERIFY(wire.pScript->toHost.isEmpty());
    QCOMPARE(wire.pLink->BlocksRead(), quint64(5));
}

void tst_Frame::receiveNeverReadsMoreThan32Blocks_data()
{
    QTest::addColumn<quint32>("lengthField");
    QTest::addColumn<int>("blocksRead");
    QTest::newRow("1500") << 1500u << 2;
    QTest::newRow("40960") << 40960u << 32;
    QTest::newRow("all ones") << 0xFFFFFFFFu << 32;
}

void tst_Frame::receiveNeverReadsMoreThan32Blocks()
{
    QFETCH(quint32, lengthField);
    QFETCH(int, blocksRead);
    Wire wire;
    const QByteArray next = Reply(1024, 0x4500);
    wire.pScript->toHost = Reply(lengthField, 0x8100, 40 * 1024, 'x') + next;
    Frame frame;
    QCOMPARE(frame.Receive(*wire.pLink), 0);
    QCOMPARE(wire.pLink->BlocksRead(), quint64(blocksRead));
    // Taken as a one-block frame; what follows is left for the next receive.
    QCOMPARE(frame.Length(), 1024u);
    QCOMPARE(frame.ReceivedBytes(), 1024u);
    QVERIFY(frame.IsValid());
    QCOMPARE(wire.pScript->toHost.size(), 40 * 1024 - blocksRead * 1024 + 1024);
}

void tst_Frame::receiveFailsWhenTheRecorderFallsSilent()
{
    Wire wire;
    Frame frame;
    QCOMPARE(frame.Receive(*wire.pLink), 1);
    // A frame cut short fails too, after the blocks that came.
    wire.pScript->toHost = Reply(4096).left(2048);
    QCOMPARE(frame.Receive(*wire.pLink), 1);
    quint8 block[1024];
    quint32 nGot = 99;
    QCOMPARE(wire.pLink->ReadBlock(block, &nGot), 1);
    QCOMPARE(nGot, 0u);
}

void tst_Frame::linkJoinsPartialReads()
{
    Wire wire;
    wire.pScript->toHost = Reply(2048, 0x8110, -1, 'j');
    wire.pScript->readSizes = {300, 724, 300, 724};
    Frame frame;
    QCOMPARE(frame.Receive(*wire.pLink), 0);
    QCOMPARE(frame.Length(), 2048u);
    QCOMPARE(frame.Data()[2047], quint8('j'));
    QCOMPARE(wire.pScript->reads.size(), 4);
    QCOMPARE(wire.pScript->reads.at(0), qsizetype(1024));
    QCOMPARE(wire.pScript->reads.at(1), qsizetype(724));
    // 300 bytes and then silence: the block is not whole, the read fails.
    wire.pScript->toHost = QByteArray(300, 'z');
    quint8 block[1024];
    quint32 nGot = 0;
    QCOMPARE(wire.pLink->ReadBlock(block, &nGot), 1);
    QCOMPARE(nGot, 0u);
}

void tst_Frame::babblingRecorderFailsWithinTheTimeout()
{
    // Noise, frames of a foreign code, and a valid frame dribbled out a byte at a time: none
    // may hold a receive beyond the link time-out.
    const QByteArray noise = ScriptedTransport::FrameBytes(0x1234, 1024, 0x8100);
    const QByteArray foreign = Reply(1024, 0x8000);
    const QList<QPair<QByteArray, qsizetype>> cases{{noise, 1024}, {foreign, 1024}, {Reply(1024), 1}};
    for (const auto &[pattern, nChunk] : cases) {
        auto pTransport = std::make_unique<BabblingTransport>(pattern, nChunk);
        BabblingTransport *pBabbler = pTransport.get();
        RecorderLink link(std::move(pTransport));
        link.SetTimeoutMs(100);
        Frame frame;
        QCOMPARE(frame.Receive(link), 1);
        QVERIFY2(pBabbler->m_nReads < BabblingTransport::MAX_READS / 2,
                 qPrintable(QString::number(pBabbler->m_nReads)));
    }
}

QTEST_GUILESS_MAIN(tst_Frame)
#include "tst_Frame.moc"
