#pragma once

// Waiting on the window thread without freezing the window: pending events are dispatched
// while the caller waits, so the window repaints and its stop button stays usable.

// Dispatches every pending event of the calling thread.
void PumpMessages();

// Sleeps max(ms, 10) / 10 steps of 10 ms, dispatching events after each step.
void WaitPumping(int milliseconds);
