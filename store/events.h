#pragma once

namespace klavoro {

// Lets pending window events and timers run, as the long operations of the
// program do at fixed points. Does nothing without an application object.
void letEventsRun();

// Sleeps in steps of 10 ms, letting events run after each step.
void waitMs(int ms);

} // namespace klavoro
