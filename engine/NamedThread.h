#pragma once

// Starts the engine's worker threads under a name of their own ("kbx-…", at most 15 bytes).
// The name is set by the starting thread before this returns, so the thread carries it from
// the start, even before it is first scheduled; anything that counts the engine's threads by
// name (the tests do, to show that a run left none behind) sees every one it started.

#include <pthread.h>
#include <thread>
#include <utility>

template <class Function>
std::thread StartNamedThread(const char* name, Function&& function)
{
    std::thread thread(std::forward<Function>(function));
    pthread_setname_np(thread.native_handle(), name);
    return thread;
}
