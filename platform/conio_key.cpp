// The console key read through the C runtime's console functions (Windows only).
#include <conio.h>

#include "platform/conio_key.h"

namespace conio_key {

int TakeWaitingKey() {
    constexpr int NO_KEY = -1;
    // _kbhit never waits and is false without a console (input from a pipe or a file), so
    // _getch, which would wait, is called only when a key is there to take.
    return _kbhit() ? _getch() : NO_KEY;
}

}  // namespace conio_key
