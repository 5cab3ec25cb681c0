// gl_driver_leaks.cpp - LeakSanitizer's suppressions for the tests that make a real GL
// context: SDL and the Mesa driver keep allocations of their own for the life of the process
// (made while creating and binding the context), which are not this program's to free.
// The driver has no frame pointers, so allocation stacks are taken the slow, complete way:
// otherwise they stop inside the driver and never reach the frames named here.
extern "C" const char* __asan_default_options() { return "fast_unwind_on_malloc=0"; }

extern "C" const char* __lsan_default_suppressions() {
    return "leak:MakeRealContext\n"
           "leak:wglMakeCurrent\n"
           "leak:libGLdispatch.so\n";
}
