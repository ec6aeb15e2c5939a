#pragma once

#include "link/Frame.h"
#include "protocol/ProtocolCodes.h"

#include <QString>
#include <QtGlobal>

#include <functional>

class IDownloadSink;
class ManualResetEvent;
class PostTarget;
class RecorderLink;

// The recorder's commands: one request frame out, reply frames in, in lock step. Operations
// report to a post target as they go and return a result with its reason; none throws.
class RecorderProtocol
{
    Q_DISABLE_COPY_MOVE(RecorderProtocol)

public:
    explicit RecorderProtocol(RecorderLink &link);
    virtual ~RecorderProtocol();

    RecorderLink &Link() const { return m_link; }

    // The caller has written the payload at offset 12 of the request frame. 0, or the failure
    // of Send or Receive.
    int Exchange(quint16 nCode, quint32 nPayloadLength);
    // Sends a frame with the code and no payload; no reply is read.
    void SendCode(quint16 nCode);

    bool GetDeviceInfo(const PostTarget &target);
    bool GetCardInfo(const PostTarget &target);
    RecorderResult ListFiles(const ManualResetEvent &stop, const PostTarget &target);

    // Downloads a card file into a sink. The first block's total is the file's size; the sink
    // is committed only when exactly that many bytes have arrived.
    RecorderResult GetFile(const ManualResetEvent &stop, const PostTarget &target, const QString &strName,
                           IDownloadSink &sink);
    // Downloads a card file into strFolder under its own name, replacing a file of that name.
    // The file appears only when complete; a failure leaves any earlier file untouched.
    RecorderResult GetFile(const ManualResetEvent &stop, const PostTarget &target, const QString &strName,
                           const QString &strFolder);
    RecorderResult PutFile(const ManualResetEvent &stop, const PostTarget &target, const QString &strPath,
                           bool bOverwrite);
    RecorderResult DeleteCardFile(const QString &strName);
    RecorderResult SaveArchiveData();

    Frame &RequestFrame() { return m_request; }
    Frame &ResponseFrame() { return m_response; }

    // Tests shorten the archive save wait; the program keeps 120 s.
    void SetSaveArchiveTimeoutMs(qint64 nMs) { m_nSaveArchiveTimeoutMs = nMs; }
    // How the archive save pauses between tries whose read failed at once (it sleeps by
    // default); tests and the fuzzer count or shorten the pauses.
    using Pause = std::function<void(int nMs)>;
    void SetSaveArchiveRetryPause(Pause pause) { m_pause = std::move(pause); }

    // The name a local file is announced under: the part after its last "/" or "\". A name
    // the recorder cannot take (empty, longer than 259 characters, not valid in this system's
    // encoding) is refused with RESULT_HOST_IO_ERROR and its reason.
    static RecorderResult UploadName(const QString &strPath, QString *pName);

private:
    // The result of a failed transfer: a cancellation when the link was interrupted (the
    // program is asked to stop), with the recorder told to abort when a transfer is open;
    // otherwise a communication failure.
    RecorderResult Broken(bool bTransferOpen);
    // Writes a NUL-terminated UTF-16LE string at the start of the request payload; returns its
    // payload length, or 0 when it does not fit.
    quint32 WriteNamePayload(const QString &strName);
    // The UTF-16LE text at a frame offset up to its first NUL, never past the received bytes.
    QString ResponseText(quint32 nOffset) const;

    RecorderLink &m_link;
    Frame m_response;
    Frame m_request;
    qint64 m_nSaveArchiveTimeoutMs = qint64(SAVE_ARCHIVE_TIMEOUT_S) * 1000;
    Pause m_pause;
};
