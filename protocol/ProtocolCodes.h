#pragma once

#include "core/RecorderResult.h"
#include "link/Frame.h"

#include <QtGlobal>

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

// Data block layout of CMD_PUT_BLOCK and RSP_FILE_BLOCK (frame offsets): total size, position,
// count, then the data. A block of n data bytes has a payload of n + BLOCK_HEADER_SIZE bytes.
inline constexpr quint32 BLOCK_OFFSET_TOTAL = Frame::HEADER_SIZE;
inline constexpr quint32 BLOCK_OFFSET_POSITION = BLOCK_OFFSET_TOTAL + 4;
inline constexpr quint32 BLOCK_OFFSET_COUNT = BLOCK_OFFSET_POSITION + 4;
inline constexpr quint32 BLOCK_OFFSET_DATA = BLOCK_OFFSET_COUNT + 4;
inline constexpr quint32 BLOCK_HEADER_SIZE = BLOCK_OFFSET_DATA - Frame::HEADER_SIZE;
inline constexpr quint32 BLOCK_MAX_DATA = Frame::FRAME_CAPACITY - BLOCK_OFFSET_DATA;

// The card information reply: 12 bytes the host does not read (the emulator puts the capacity
// and the free space in KB and the file count there), then the text.
inline constexpr quint32 CARD_INFO_OFFSET_CAPACITY_KB = Frame::HEADER_SIZE;
inline constexpr quint32 CARD_INFO_OFFSET_FREE_KB = CARD_INFO_OFFSET_CAPACITY_KB + 4;
inline constexpr quint32 CARD_INFO_OFFSET_FILE_COUNT = CARD_INFO_OFFSET_FREE_KB + 4;
inline constexpr quint32 CARD_INFO_TEXT_OFFSET = CARD_INFO_OFFSET_FILE_COUNT + 4;

// Sizes travel in 32 bits: the largest file the recorder can take or send.
inline constexpr quint32 MAX_FILE_SIZE = 0xFFFFFFFFu;

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
