// The console key read. Initialisation must never wait here, also when started from a
// terminal, so a key is taken only when one is already waiting.
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include "platform/platform.h"

namespace {

constexpr int NO_KEY = -1;

int ReadWaitingByte() {
    unsigned char byte;
    return read(STDIN_FILENO, &byte, 1) == 1 ? byte : NO_KEY;
}

// A terminal holds typed keys until Return; in non-canonical mode with no minimum count they
// can be read one by one, and a read with nothing typed returns at once.
int ReadTerminalKey(const termios& saved) {
    termios raw = saved;
    raw.c_lflag &= ~tcflag_t(ICANON | ECHO);
    raw.c_cc[VMIN] = 0;
    raw.c_cc[VTIME] = 0;
    if (tcsetattr(STDIN_FILENO, TCSANOW, &raw) != 0) return NO_KEY;
    int key = ReadWaitingByte();
    tcsetattr(STDIN_FILENO, TCSANOW, &saved);
    return key;
}

}  // namespace

int _getch() {
    termios saved;
    if (isatty(STDIN_FILENO) && tcgetattr(STDIN_FILENO, &saved) == 0) {
        // A program started in the background would be stopped for touching its terminal.
        if (tcgetpgrp(STDIN_FILENO) != getpgrp()) return NO_KEY;
        return ReadTerminalKey(saved);
    }
    pollfd input = {STDIN_FILENO, POLLIN, 0};
    if (poll(&input, 1, 0) != 1 || (input.revents & POLLIN) == 0) return NO_KEY;
    return ReadWaitingByte();  // end of input reads nothing: no key
}
