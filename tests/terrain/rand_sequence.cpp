// Prints the first N values of the C library's rand(), never seeded, one per line: the
// reference the fountain's own sequence is checked against, drawn in a process of its own
// so that nothing else has drawn from rand() first.
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    long count = argc > 1 ? std::strtol(argv[1], nullptr, 10) : 0;
    for (long k = 0; k < count; ++k) std::printf("%d\n", std::rand());
    return 0;
}
