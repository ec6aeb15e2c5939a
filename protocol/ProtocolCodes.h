#pragma once

#include <QtGlobal>

#include "RecorderResult.h"

// Frame codes of the recorder protocol, in one table so the constants and their printable
// names cannot drift apart. 0x45xx: requests and transfer control; 0x81xx: replies.
#define ORVO_PROTOCOL_CODES(X)     \
    X(CMD_ACK, 0x4500)             \
    X(CMD_GET_DEVICE_INFO, 0x4501) \
    X(CMD_GET_CARD_INFO, 0x4502)   \
    X(CMD_LIST_FILES, 0x4503)      \
    X(CMD_ABORT, 0x4504)           \
    X(CMD_SOURCE_ERROR, 0x4505)    \
    X(CMD_SAVE_ARCHIVE, 0x4506)    \
    X(CMD_GET_FILE, 0x4510)        \
    X(CMD_DELETE_FILE, 0x4511)     \
    X(CMD_PUT_FILE, 0x4520)        \
    X(CMD_PUT_BLOCK, 0x4521)       \
    X(RSP_OK, 0x8100)              \
    X(RSP_REFUSED, 0x8105)         \
    X(RSP_FILE_BLOCK, 0x8110)      \
    X(RSP_FILE_EXISTS, 0x8152)     \
    X(RSP_CARD_FULL, 0x8153)       \
    X(RSP_NO_CARD, 0x8154)

#define ORVO_DECLARE_CODE(name, value) inline constexpr quint16 name = value;
ORVO_PROTOCOL_CODES(ORVO_DECLARE_CODE)
#undef ORVO_DECLARE_CODE

// "CMD_ACK", or "0x8123" for a code outside the table.
const char *ProtocolCodeName(quint16 nCode);

// Data block layout of CMD_PUT_BLOCK and RSP_FILE_BLOCK (frame offsets).
inline constexpr quint32 BLOCK_OFFSET_TOTAL = 12;
inline constexpr quint32 BLOCK_OFFSET_POSITION = 16;
inline constexpr quint32 BLOCK_OFFSET_COUNT = 20;
inline constexpr quint32 BLOCK_OFFSET_DATA = 24;
inline constexpr quint32 BLOCK_MAX_DATA = 32744;

// The card information text starts 12 bytes into the reply payload.
inline constexpr quint32 CARD_INFO_TEXT_OFFSET = 24;

// The archive save reply may take this long.
inline constexpr int SAVE_ARCHIVE_TIMEOUT_S = 120;
// Between two tries of the archive save whose read failed at once, so that a link that fails
// every read does not spin for the whole wait.
inline constexpr int SAVE_ARCHIVE_RETRY_PAUSE_MS = 100;

// A file list longer than this is a recorder out of step: a FAT folder holds at most 65,536
// entries, and a list without its end marker would otherwise grow without bound.
inline constexpr quint32 MAX_LIST_ENTRIES = 200000;

// The longest file name the recorder takes: its records hold 259 characters and a terminator.
inline constexpr qsizetype MAX_CARD_NAME_CHARS = 259;
