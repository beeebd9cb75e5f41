#pragma once

// Waiting on the window thread without freezing the window: pending events are dispatched
// while the caller waits, so the window repaints and its stop button stays usable.

// Dispatches every pending event of the calling thread.
void PumpMessages();

// Waits about the given number of milliseconds in 10 ms steps, dispatching events between them.
void WaitPumping(int milliseconds);
