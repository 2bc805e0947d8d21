// A fault that nothing in the test host catches ends the process at once with its exception
// code, instead of Wine starting its debugger, which waits until the run's time-out.
#include <windows.h>

#include <cstdio>

namespace {

LONG WINAPI report_and_exit(EXCEPTION_POINTERS* e) {
    const EXCEPTION_RECORD* r = e->ExceptionRecord;
    std::fprintf(stderr, "q14_wine_tests: unhandled exception 0x%08lX at %p", static_cast<unsigned long>(r->ExceptionCode),
                 r->ExceptionAddress);
    if (r->ExceptionCode == EXCEPTION_ACCESS_VIOLATION && r->NumberParameters >= 2)
        std::fprintf(stderr, " (%s of %p)", r->ExceptionInformation[0] ? "write" : "read",
                     reinterpret_cast<void*>(r->ExceptionInformation[1]));
    std::fprintf(stderr, "\n");
    std::fflush(stderr);
    return EXCEPTION_EXECUTE_HANDLER;
}

const LPTOP_LEVEL_EXCEPTION_FILTER g_previous = SetUnhandledExceptionFilter(report_and_exit);

}  // namespace
