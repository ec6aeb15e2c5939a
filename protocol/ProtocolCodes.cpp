#include "protocol/ProtocolCodes.h"

#include <cstdio>

const char *ProtocolCodeName(quint16 nCode)
{
    switch (nCode) {
#define ORVO_CODE_CASE(name, value) \
    case value:                     \
        return #name;
        ORVO_PROTOCOL_CODES(ORVO_CODE_CASE)
#undef ORVO_CODE_CASE
    }
    thread_local char buffer[8];
    std::snprintf(buffer, sizeof buffer, "0x%04X", unsigned(nCode));
    return buffer;
}
