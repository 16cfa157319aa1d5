#pragma once

// While an InterruptFlag lives, Ctrl+C (SIGINT) raises the flag instead of ending the process,
// so a merge can stop at its next progress call and leave the output folder as it was.
class InterruptFlag {
public:
    InterruptFlag();
    ~InterruptFlag();
    InterruptFlag(const InterruptFlag&) = delete;
    InterruptFlag& operator=(const InterruptFlag&) = delete;

    static bool raised();
};
