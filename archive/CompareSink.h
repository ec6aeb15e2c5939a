#pragma once

#include "core/IDownloadSink.h"
#include "core/SafeFileWriter.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

// A download that may turn out to be a file already kept: the bytes are compared with the
// existing file as they arrive, and written aside at the same time. Identical, the existing
// file only takes the card's date; different, the new bytes are kept under their own name (or
// replace the existing file when asked).
class CompareSink final : public IDownloadSink
{
public:
    enum class Outcome { None, Identical, Written };

    // strFolder holds strExisting; strNewName is where a different file goes (strExisting
    // itself with bReplace).
    CompareSink(const QString &strFolder, QString strExisting, QString strNewName, bool bReplace,
                QDateTime modified);
    ~CompareSink() override;

    RecorderResult Open() override;
    RecorderResult Write(const quint8 *pData, quint32 nLen) override;
    RecorderResult Flush() override;
    RecorderResult Commit() override;
    void Discard() override;

    Outcome Result() const { return m_outcome; }

private:
    void CloseExisting();

    QString m_strFolder;
    QString m_strExisting;
    QString m_strNewName;
    bool m_bReplace;
    QDateTime m_modified;
    SafeFileWriter m_writer;
    int m_nExistingFd = -1;
    bool m_bSame = true;
    QByteArray m_compareBuffer;
    Outcome m_outcome = Outcome::None;
};
