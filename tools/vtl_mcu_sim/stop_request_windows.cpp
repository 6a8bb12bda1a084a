#include "tools/vtl_mcu_sim/stop_request.h"

#include <string>

#include <windows.h>

namespace vtl {
namespace {

// The console calls its handlers without a context, on a thread of its own: the handler
// finds this process's event by its name.
std::wstring EventName() {
    return L"Local\\vtl-mcu-sim-stop-" + std::to_wstring(GetCurrentProcessId());
}

BOOL WINAPI OnConsoleEvent(DWORD) {
    const HANDLE event = OpenEventW(EVENT_MODIFY_STATE, FALSE, EventName().c_str());
    if (event == nullptr) return FALSE; // the default handler ends the process
    SetEvent(event);
    CloseHandle(event);
    return TRUE;
}

} // namespace

StopRequest::StopRequest() : event_(CreateEventW(nullptr, TRUE, FALSE, EventName().c_str())) {
    SetConsoleCtrlHandler(&OnConsoleEvent, TRUE);
}

StopRequest::~StopRequest() {
    SetConsoleCtrlHandler(&OnConsoleEvent, FALSE);
    if (event_ != nullptr) CloseHandle(event_);
}

bool StopRequest::WaitFor(std::chrono::milliseconds time) {
    return WaitForSingleObject(event_, static_cast<DWORD>(time.count())) == WAIT_OBJECT_0;
}

} // namespace vtl
