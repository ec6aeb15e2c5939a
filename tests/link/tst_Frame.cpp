// Frames and the link's block moves, against a recorder that says what each case needs.

#include "core/LittleEndian.h"
#include "link/Frame.h"
#include "support/FakeRecorder.h"

#include <QTest>
#include <QThread>

namespace {

// A frame of nLength bytes (whole blocks, at least one) with the given header fields, the rest
// filled.
QByteArray Reply(quint32 nLengthField, quint16 nCode = 0x8100, qsizetype nLength = -1, char fill = 'p',
                 quint16 nMagic = Frame::FRAME_MAGIC)
{
    QByteArray bytes(nLength < 0 ? qMax<qsizetype>(Frame::BLOCK_SIZE, nLengthField) : nLength, fill);
    LittleEndian::SetU16(reinterpret_cast<quint8 *>(bytes.data()) + Frame::OFFSET_MAGIC, nMagic);
    LittleEndian::SetU32(reinterpret_cast<quint8 *>(bytes.data()) + Frame::OFFSET_LENGTH, nLengthField);
    LittleEndian::SetU16(reinterpret_cast<quint8 *>(bytes.data()) + Frame::OFFSET_CODE, nCode);
    return bytes;
}

} // namespace

class tst_Frame final : public QObject
{
    Q_OBJECT

private slots:
    void prepareComputesWholeBlocks_data()
    {
        QTest::addColumn<quint32>("payload");
        QTest::addColumn<quint32>("length");
        QTest::newRow("no payload") << 0u << 1024u;
        QTest::newRow("one block full") << 1012u << 1024u;
        QTest::newRow("one byte over") << 1013u << 2048u;
        QTest::newRow("largest") << 32756u << 32768u;
    }

    void prepareComputesWholeBlocks()
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

    void validityChecksMagicLengthAndCode_data()
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

    void validityChecksMagicLengthAndCode()
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

    void sendWritesTheWholeFrameInOrder()
    {
        FakeRecorder recorder;
        InterceptingTransport::Request sent;
        recorder.Wire().beforeWrite = [&sent](const InterceptingTransport::Request &request) {
            sent = request;
            return true;
        };
        Frame frame;
        for (quint32 i = 0; i < Frame::MAX_PAYLOAD; ++i)
            frame.Payload()[i] = quint8((i + Frame::HEADER_SIZE) / 1024 + 1); // each block recognisable
        frame.Prepare(0x4521, 3072 - Frame::HEADER_SIZE);
        QCOMPARE(frame.Send(recorder.link), 0);
        // The payload read as UTF-16 text: every block whole and in its place.
        QString strExpected;
        for (int i = Frame::HEADER_SIZE; i < 3072; i += 2)
            strExpected.append(QChar(char16_t(0x0101 * (i / 1024 + 1))));
        QCOMPARE(sent.nLength, qsizetype(3072));
        QCOMPARE(sent.strName, strExpected);
        QCOMPARE(recorder.pEmulator->ReceivedCodes(), QList<quint16>{0x4521});
        QCOMPARE(recorder.link.BlocksWritten(), quint64(3));
    }

    void receiveReadsTheBlocksTheHeaderAnnounces()
    {
        FakeRecorder recorder;
        recorder.Wire().Babble(Reply(4096, 0x8110, -1, 'a') + Reply(0, 0x8100, 1024, 'b') +
                               Reply(1024, 0x4500));
        Frame frame;
        QCOMPARE(frame.Receive(recorder.link), 0);
        QCOMPARE(frame.Length(), 4096u);
        QCOMPARE(frame.ReceivedBytes(), 4096u);
        QCOMPARE(frame.Data()[4095], quint8('a'));
        QCOMPARE(recorder.link.BlocksRead(), quint64(4));
        // Length 0 with a good magic and code: accepted after its one block.
        QCOMPARE(frame.Receive(recorder.link), 0);
        QCOMPARE(frame.Length(), 0u);
        QCOMPARE(frame.ReceivedBytes(), 1024u);
        QCOMPARE(frame.Data()[12], quint8('b'));
        QCOMPARE(frame.Receive(recorder.link), 0);
        QCOMPARE(frame.Code(), quint16(0x4500));
        QCOMPARE(recorder.link.BlocksRead(), quint64(6));
    }

    void receiveSkipsBlocksThatStartNoFrame()
    {
        FakeRecorder recorder;
        // A block without magic whose "length" claims a full frame: only that block is dropped,
        // so the reply right behind it is not swallowed. A frame with a foreign code is dropped
        // with its blocks.
        recorder.Wire().Babble(Reply(32768, 0x8100, 1024, 'n', 0x1234) + Reply(2048, 0x8000, -1, 'f') +
                               Reply(2048, 0x8110, -1, 'g'));
        Frame frame;
        QCOMPARE(frame.Receive(recorder.link), 0);
        QCOMPARE(frame.Code(), quint16(0x8110));
        QCOMPARE(frame.Length(), 2048u);
        QCOMPARE(frame.Data()[2047], quint8('g'));
        QCOMPARE(recorder.link.BlocksRead(), quint64(5));
    }

    void receiveNeverReadsMoreThan32Blocks_data()
    {
        QTest::addColumn<quint32>("lengthField");
        QTest::addColumn<int>("blocksRead");
        QTest::newRow("1500") << 1500u << 2;
        QTest::newRow("40960") << 40960u << 32;
        QTest::newRow("all ones") << 0xFFFFFFFFu << 32;
    }

    void receiveNeverReadsMoreThan32Blocks()
    {
        QFETCH(quint32, lengthField);
        QFETCH(int, blocksRead);
        FakeRecorder recorder;
        recorder.Wire().Babble(Reply(lengthField, 0x8100, 40 * 1024, 'x') + Reply(1024, 0x4500));
        Frame frame;
        QCOMPARE(frame.Receive(recorder.link), 0);
        QCOMPARE(recorder.link.BlocksRead(), quint64(blocksRead));
        // Taken as a one-block frame; what follows is left for the next receive, which skips the
        // rest of the noise and finds the next frame.
        QCOMPARE(frame.Length(), 1024u);
        QCOMPARE(frame.ReceivedBytes(), 1024u);
        QVERIFY(frame.IsValid());
        QCOMPARE(frame.Receive(recorder.link), 0);
        QCOMPARE(frame.Code(), quint16(0x4500));
        QCOMPARE(recorder.link.BlocksRead(), quint64(41));
    }

    void receiveFailsWhenTheRecorderFallsSilent()
    {
        FakeRecorder recorder;
        recorder.link.SetTimeoutMs(50);
        Frame frame;
        QCOMPARE(frame.Receive(recorder.link), 1);
        // A frame cut short fails too, after the blocks that came.
        recorder.Wire().Babble(Reply(4096).left(2048));
        QCOMPARE(frame.Receive(recorder.link), 1);
        quint8 block[1024];
        quint32 nGot = 99;
        QCOMPARE(recorder.link.ReadBlock(block, &nGot), 1);
        QCOMPARE(nGot, 0u);
    }

    void linkJoinsPartialReads()
    {
        FakeRecorder recorder;
        recorder.link.SetTimeoutMs(50);
        recorder.Wire().Babble(Reply(2048, 0x8110, -1, 'j'));
        recorder.Wire().CutReads({300, 724, 300, 724});
        Frame frame;
        QCOMPARE(frame.Receive(recorder.link), 0);
        QCOMPARE(frame.Length(), 2048u);
        QCOMPARE(frame.Data()[1023], quint8('j'));
        QCOMPARE(frame.Data()[2047], quint8('j'));
        // 300 bytes and then silence: the block is not whole, the read fails.
        recorder.Wire().Babble(QByteArray(300, 'z'));
        quint8 block[1024];
        quint32 nGot = 0;
        QCOMPARE(recorder.link.ReadBlock(block, &nGot), 1);
        QCOMPARE(nGot, 0u);
    }

    void babblingRecorderFailsWithinTheTimeout()
    {
        // Noise, frames of a foreign code, and a valid frame dribbled out a byte at a time, a
        // millisecond apart: none may hold a receive beyond the link time-out.
        const int MAX_READS = 3000;
        const QList<QPair<QByteArray, qsizetype>> cases{
            {Reply(1024, 0x8100, -1, 'p', 0x1234), 1024}, {Reply(1024, 0x8000), 1024}, {Reply(1024), 1}};
        for (const auto &[pattern, nChunk] : cases) {
            FakeRecorder recorder;
            recorder.link.SetTimeoutMs(100);
            int nReads = 0;
            recorder.Wire().beforeRead = [&, pattern = pattern, nChunk = nChunk](int) {
                if (++nReads > MAX_READS)
                    return;
                QThread::msleep(1);
                const qsizetype nAt = (nReads - 1) * nChunk % pattern.size();
                recorder.Wire().Babble(pattern.mid(nAt, nChunk));
            };
            Frame frame;
            QCOMPARE(frame.Receive(recorder.link), 1);
            QVERIFY2(nReads < MAX_READS / 2, qPrintable(QString::number(nReads)));
        }
    }
};

QTEST_GUILESS_MAIN(tst_Frame)
#include "tst_Frame.moc"
