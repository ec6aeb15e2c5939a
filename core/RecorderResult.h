#pragma once

#include <QString>

// Results of the recorder operations, with their fixed numbers; 6 is not used.
enum RecorderResultCode : int {
    RESULT_OK = 0,
    RESULT_COMM_ERROR = 1,
    RESULT_NOT_DELETED = 2,
    RESULT_CANCELLED = 3,
    RESULT_DEVICE_STOPPED = 4,
    RESULT_HOST_IO_ERROR = 5,
    RESULT_FILE_EXISTS = 7,
    RESULT_CARD_FULL = 8,
    RESULT_NO_CARD = 9,
};

// Why a local file was refused or failed. The window turns these into texts of the active
// language; the detail text of a result says the same in English for the command line and logs.
enum class LocalReason {
    None,
    UnsafeName,      // could leave the destination folder: separator, ".", "..", NUL, empty
    NotEncodable,    // does not survive conversion to the file system's encoding
    NameCollision,   // another card name of this run lands on the same local name
    NameTooLong,     // longer than the destination folder can hold
    SymbolicLink,    // the local name is a symbolic link, which is never written through
    NotARegularFile, // a folder or a special file stands where the file would go
    ReservedName,    // the name of this program's own journal or temporary files
    AlreadyExists,   // a file of that name is there and replacing it was not asked for
    CannotCreate,
    CannotWrite,
    CannotFinish, // the sync, the date or the final rename failed
    CannotRead,   // upload source
    EmptyFile,    // upload source without data
    TooLarge,     // upload source over 4 GB
};

// What a recorder operation ended with: its result code and, for a failure with more to say
// than the code, the reason ("cannot write /data/A.DAT: No space left on device"). It converts
// to its code, so `switch (result)` and `result == RESULT_OK` read as before.
class RecorderResult final
{
public:
    constexpr RecorderResult(RecorderResultCode code = RESULT_OK) noexcept
        : m_code(code)
    {}
    RecorderResult(RecorderResultCode code, QString strDetail, LocalReason reason = LocalReason::None)
        : m_code(code)
        , m_reason(reason)
        , m_strDetail(std::move(strDetail))
    {}
    // A local failure: RESULT_HOST_IO_ERROR with its reason.
    static RecorderResult Local(LocalReason reason, QString strDetail)
    {
        return RecorderResult(RESULT_HOST_IO_ERROR, std::move(strDetail), reason);
    }

    constexpr operator RecorderResultCode() const noexcept { return m_code; }
    constexpr RecorderResultCode Code() const noexcept { return m_code; }
    constexpr bool IsOk() const noexcept { return m_code == RESULT_OK; }
    LocalReason Reason() const { return m_reason; }
    // English, naming the file and the system's reason; empty when the code says it all.
    const QString &Detail() const { return m_strDetail; }

private:
    RecorderResultCode m_code = RESULT_OK;
    LocalReason m_reason = LocalReason::None;
    QString m_strDetail;
};
