#pragma once

#include <QtGlobal>

class ITransport;

// What the recorder still sends after the host stopped waiting for it: a reply that came past
// the time-out, the rest of an abandoned transfer, or what a USB endpoint kept from the last
// program that used the recorder. Read before the next request, it would be taken as that
// request's answer; the frame check alone cannot tell, since it is a valid frame.
namespace StaleInput {

// The recorder counts as quiet once nothing arrived for this long.
constexpr int QUIET_MS = 80;
// A recorder that never falls quiet costs at most this much; the request goes out after it.
constexpr int LIMIT_MS = 1000;

// Reads and throws away what arrives until the channel stays quiet for QUIET_MS, LIMIT_MS at
// most. Returns the number of bytes thrown away.
qsizetype Discard(ITransport &transport);

} // namespace StaleInput
