// The answer of a box that could not be created; see box_fallback.h.
#include "platform/box_fallback.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <string>

#include <unistd.h>

namespace {

constexpr int FAILED = 0;
constexpr char ESCAPE = '\x1b';

// A background job reading its terminal would be stopped until brought to the front; one that
// cannot ask must not wait, so only the foreground, or a terminal that is not the controlling
// one (nobody to stop it), counts.
bool CanAskOnTerminal() {
    if (!isatty(STDIN_FILENO)) return false;
#ifdef _WIN32
    return true;  // a console has no background jobs
#else
    const pid_t foreground = tcgetpgrp(STDIN_FILENO);
    return foreground == -1 || foreground == getpgrp();
#endif
}

// One line from standard input, without its end; false at the end of input.
bool ReadLine(std::string& line) {
    line.clear();
    for (;;) {
        char c;
        const ssize_t got = read(STDIN_FILENO, &c, 1);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return false;
        if (c == '\n') return true;
        line += c;
    }
}

// IDYES, IDNO, or 0 for a reply that is neither.
int ReadReply(const std::string& line) {
    size_t start = line.find_first_not_of(" \t\r");
    if (start == std::string::npos) return IDYES;  // Return alone: the default button
    if (line[start] == ESCAPE) return IDNO;        // Escape, as on the box
    const char first = char(std::tolower(static_cast<unsigned char>(line[start])));
    if (first == 'y') return IDYES;
    if (first == 'n') return IDNO;
    return 0;
}

int AskOnTerminal(const char* text, const char* caption) {
    std::string line;
    for (;;) {
        std::fprintf(stderr, "%s: %s [Yes/no] ", caption, text);
        std::fflush(stderr);
        if (!ReadLine(line)) {
            std::fprintf(stderr, "\n%s: no reply, answered No\n", caption);
            return IDNO;
        }
        if (int reply = ReadReply(line)) return reply;
    }
}

}  // namespace

int AnswerWithoutBox(const char* text, const char* caption, UINT type) {
    if ((type & MB_YESNO) != MB_YESNO) {
        std::fprintf(stderr, "%s: %s\n", caption, text);
        return FAILED;
    }
    if (CanAskOnTerminal()) return AskOnTerminal(text, caption);
    std::fprintf(stderr, "%s: %s\n%s: no box could be shown and no terminal to ask on, answered No\n", caption, text,
                 caption);
    return IDNO;
}
