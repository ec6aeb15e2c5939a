#pragma once

#include "core/RecorderResult.h"
#include "protocol/RecorderFileEntry.h"

#include <QString>
#include <QtGlobal>

#include <memory>
#include <variant>

// Message numbers posted to windows, relative to the desktop's user message base.
inline constexpr quint32 WM_USER = 0x0400;
inline constexpr quint32 WM_CLOSE = 0x0010;        // no payload
inline constexpr quint32 WM_DEVICECHANGE = 0x0219; // DeviceNoticePost

// Reports of the recorder operations.
inline constexpr quint32 WM_REC_FILE_ENTRY = WM_USER + 100;  // FileEntryPost
inline constexpr quint32 WM_REC_DEVICE_INFO = WM_USER + 101; // TextPost
inline constexpr quint32 WM_REC_CARD_INFO = WM_USER + 102;   // TextPost
inline constexpr quint32 WM_JOB_PROGRESS = WM_USER + 201;    // ProgressPost

// Job messages (jobs/JobMessages.h posts them).
inline constexpr quint32 WM_JOB_MESSAGE = WM_USER + 200; // JobTextPost or JobResultPost
inline constexpr quint32 WM_JOB_FILE = WM_USER + 202;    // TextPost: the recorder file name
inline constexpr quint32 WM_JOB_RUN = WM_USER + 203;     // RunProgressPost
inline constexpr quint32 WM_JOB_OUTPUT = WM_USER + 204;  // JobOutputPost

// What the messages carry. The job messages' payloads are listed here too, because one closed
// set of payloads travels through the post targets of this layer.

// A transfer's progress: bytes of the current file so far and its total size; the first report
// of every transfer is (0, 0).
struct ProgressPost
{
    quint32 nSoFar = 0;
    quint32 nTotal = 0;
};

// Where a run of several files stands: the file that starts now (from 1) of how many, and the
// bytes of the run done before it, of the bytes of all its files (0 when the sizes are unknown).
struct RunProgressPost
{
    quint32 nFile = 0;
    quint32 nFiles = 0;
    quint64 nDoneBytes = 0;
    quint64 nTotalBytes = 0;
};

// What a job hands its dialog at its end when a text or a result code cannot say it; each job
// derives its own kind, and its dialog knows which kind to expect.
class JobOutput
{
public:
    virtual ~JobOutput() = default;
};

struct JobOutputPost
{
    std::shared_ptr<const JobOutput> pOutput;
};

// A text: the recorder's identification or card information, or the name of a file.
struct TextPost
{
    QString strText;
};

// One entry of the card's file list, with its index counting from 0 within the listing.
struct FileEntryPost
{
    quint32 nIndex = 0;
    RecorderFileEntry entry;
};

// The text form of WM_JOB_MESSAGE: a step or outcome notice, or a failure that ends the job.
struct JobTextPost
{
    QString strText;
    bool bFailure = false;
};

// The result form of WM_JOB_MESSAGE: the operation's result and the job that sent it
// (JOB_RESULT_FROM_* in jobs/JobMessages.h).
struct JobResultPost
{
    RecorderResult result;
    quint32 nSource = 0;
};

// A device notice of the link: arrival (0x8000) or removal (0x8004).
struct DeviceNoticePost
{
    quint32 nNotice = 0;
};

using PostPayload = std::variant<std::monostate, ProgressPost, RunProgressPost, TextPost, FileEntryPost,
                                 JobTextPost, JobResultPost, JobOutputPost, DeviceNoticePost>;
