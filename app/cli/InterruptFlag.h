#pragma once

// While an InterruptFlag lives, Ctrl+C (SIGINT), SIGTERM and SIGHUP raise the flag instead of
// ending the process, so a merge can stop at its next progress call and leave the output folder
// as it was. The run then ends with status 130 whichever of the three arrived.
class InterruptFlag {
public:
    InterruptFlag();
    ~InterruptFlag();
    InterruptFlag(const InterruptFlag&) = delete;
    InterruptFlag& operator=(const InterruptFlag&) = delete;

    static bool raised();
};
