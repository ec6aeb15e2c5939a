#pragma once

#include <QString>
#include <QtGlobal>

#include <functional>

#include "Frame.h"
#include "ProtocolCodes.h"

class ManualResetEvent;
class PostTarget;
class RecorderLink;

// The recorder's commands: one request frame out, reply frames in, in lock step. Operations
// report to a post target as they go and return a result code; none throws.
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
    int ListFiles(const ManualResetEvent &stop, const PostTarget &target);

    // Downloads a card file into strFolder (which ends with "/"). The file appears under its
    // name only when complete; a failure leaves any earlier file of that name untouched.
    int GetFile(const ManualResetEvent &stop, const PostTarget &target, const QString &strName,
                const QString &strFolder);
    int PutFile(const ManualResetEvent &stop, const PostTarget &target, const QString &strPath,
                bool bOverwrite);
    int DeleteCardFile(const QString &strName);
    // Why the last GetFile or PutFile ended with RESULT_HOST_IO_ERROR, in plain words naming
    // the local file ("cannot write /data/A.DAT: No space left on device"); empty otherwise.
    QString LastLocalError() const { return m_strLocalError; }
    int SaveArchiveData();

    Frame &RequestFrame() { return m_request; }
    Frame &ResponseFrame() { return m_response; }

    // Tests shorten the archive save wait; the program keeps 120 s.
    void SetSaveArchiveTimeoutMs(qint64 nMs) { m_nSaveArchiveTimeoutMs = nMs; }

private:
    // Writes a NUL-terminated UTF-16LE string at the start of the request payload; returns its
    // payload length, or 0 when it does not fit.
    quint32 WriteNamePayload(const QString &strName);
    // The UTF-16LE text at a frame offset up to its first NUL, never past the received bytes.
    QString ResponseText(quint32 nOffset) const;

    RecorderLink &m_link;
    Frame m_response;
    Frame m_request;
    // Records the reason for a local failure and returns RESULT_HOST_IO_ERROR.
    int LocalError(const QString &strReason);

    QString m_strLocalError;
    qint64 m_nSaveArchiveTimeoutMs = qint64(SAVE_ARCHIVE_TIMEOUT_S) * 1000;
};
