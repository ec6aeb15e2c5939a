#include "jobs/RecorderAccess.h"

namespace {

std::mutex g_recorderMutex;

} // namespace

std::unique_lock<std::mutex> RecorderAccess::Acquire()
{
    return std::unique_lock<std::mutex>(g_recorderMutex);
}
