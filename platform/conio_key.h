// conio_key.h - the Windows console's waiting key, for the platform layer's _getch().
//
// The C runtime's <conio.h> declares its own _getch with C linkage, which cannot share a file
// with the platform layer's _getch; this header lets the two live in separate files.
#pragma once

namespace conio_key {

// The next key typed at the console without echo, or -1 at once when none waits or the
// program has no console.
int TakeWaitingKey();

}  // namespace conio_key
