// The console key read on Windows. Initialisation must never wait here, so a key is taken
// only when one is already waiting at the console.
#include "platform/conio_key.h"
#include "platform/platform.h"

int _getch() { return conio_key::TakeWaitingKey(); }
