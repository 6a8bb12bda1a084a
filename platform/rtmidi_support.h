#pragma once
// What the RtMidi input and output share: running work later on the owner's thread, and
// catching what RtMidi reports so that it reaches the port's error handler there instead of
// standard error or an exception.

#include "platform/midi_api.h"

#include <rtmidi/RtMidi.h>

#include <atomic>
#include <functional>
#include <memory>
#include <string>

class QObject;

namespace vtl {

// Runs work on the thread that created this object, from that thread's event loop.
class OwnerThread {
public:
    OwnerThread();
    ~OwnerThread();
    OwnerThread(const OwnerThread&) = delete;
    OwnerThread& operator=(const OwnerThread&) = delete;

    // Callable from any thread; work still waiting when this object goes is dropped.
    void Post(std::function<void()> work) const;

private:
    std::unique_ptr<QObject> context_;
};

// The code the error handler receives: 0 for a warning, else 100 + the RtMidiError type, which
// keeps real errors clear of the small codes the link's error handler treats specially.
int RtMidiErrorCode(RtMidiError::Type type);

// The RtMidi API a port opens with, after resolving the automatic choice.
RtMidi::Api RtMidiApi(MidiApi api);
// Whether the system can make virtual ports at all (WinMM cannot); JACK only while a server
// runs.
bool HasVirtualPorts(RtMidi::Api api);

// Collects the errors and warnings of the RtMidi objects it watches and hands each one to the
// owner's thread.
class RtMidiReports {
public:
    using Deliver = std::function<void(int code, const std::string& message)>;

    RtMidiReports(const OwnerThread& owner, Deliver deliver);
    RtMidiReports(const RtMidiReports&) = delete;
    RtMidiReports& operator=(const RtMidiReports&) = delete;

    // Routes this object's reports here; RtMidi then neither prints nor throws them.
    void Watch(RtMidi& midi);
    // Runs one call into RtMidi; false when the call reported an error or threw one.
    bool Attempt(const std::function<void()>& call);
    // Hands a report to the owner's thread; an error (code above 0) also fails the current
    // attempt. Callable from any thread.
    void Report(int code, const std::string& message);
    // Reports a device number that is not one of the count devices of the direction ("input"
    // or "output"); true when it is one of them.
    bool DeviceExists(int device, int count, const std::string& direction);

private:
    const OwnerThread& owner_;
    Deliver deliver_;
    std::atomic<bool> failed_{false};
};

} // namespace vtl
