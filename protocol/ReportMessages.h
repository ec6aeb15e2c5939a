#pragma once

#include <QtGlobal>

// Message numbers posted to windows, relative to the desktop's user message base.
inline constexpr quint32 WM_USER = 0x0400;
inline constexpr quint32 WM_CLOSE = 0x0010;
inline constexpr quint32 WM_DEVICECHANGE = 0x0219;

// Reports of the recorder operations.
inline constexpr quint32 WM_REC_FILE_ENTRY = WM_USER + 100;  // wParam index, entry payload
inline constexpr quint32 WM_REC_DEVICE_INFO = WM_USER + 101; // text payload
inline constexpr quint32 WM_REC_CARD_INFO = WM_USER + 102;   // text payload
inline constexpr quint32 WM_JOB_PROGRESS = WM_USER + 201;    // wParam bytes so far, lParam total

// Job messages.
inline constexpr quint32 WM_JOB_MESSAGE = WM_USER + 200; // text form or result form
inline constexpr quint32 WM_JOB_FILE = WM_USER + 202;    // text payload: recorder file name
