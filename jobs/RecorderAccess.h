#pragma once

#include <mutex>

// Keeps the jobs' exchanges with the recorder apart. Normally one job runs at a time because
// its dialog is modal; but a thread that Stop gave up on runs on, and a job started meanwhile
// would interleave its frames with the late one's on the one link. Each job holds this for its
// whole run: a new job waits until the late one is done, which every exchange's own time-out
// bounds.
class RecorderAccess final
{
public:
    [[nodiscard]] static std::unique_lock<std::mutex> Acquire();
};
