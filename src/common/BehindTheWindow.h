#pragma once
// Work that the start sends off to other threads while the window is built, but that the
// window does not wait for at once, runs niced: it takes a processor the window's thread
// and the display server leave idle instead of sharing one with them. A niced thread is
// never starved, so its result still comes when the window asks for it.
#include <sys/resource.h>
#include <unistd.h>

namespace vt {

inline void runBehindTheWindow()
{
    setpriority(PRIO_PROCESS, id_t(::gettid()), 10);
}

} // namespace vt
