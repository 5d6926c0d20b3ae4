#include "platform/crash_exit.h"

#include <windows.h>

#include <cstdio>

namespace platform {

namespace {

int crashStatus = 1;

LONG WINAPI onUnhandledException(EXCEPTION_POINTERS* exception)
{
    const DWORD code = exception && exception->ExceptionRecord ? exception->ExceptionRecord->ExceptionCode : 0;
    std::fprintf(stderr, "crashed: exception 0x%08lx\n", static_cast<unsigned long>(code));
    std::fflush(stderr);
    TerminateProcess(GetCurrentProcess(), static_cast<UINT>(crashStatus));
    return EXCEPTION_EXECUTE_HANDLER;
}

} // namespace

void exitOnCrash(int status)
{
    crashStatus = status;
    // No error dialog boxes for crashes or missing drives.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
    SetUnhandledExceptionFilter(onUnhandledException);
}

} // namespace platform
