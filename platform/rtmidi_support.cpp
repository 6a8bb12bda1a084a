#include "platform/rtmidi_support.h"

#include <QObject>

namespace vtl {
namespace {

void OnRtMidiError(RtMidiError::Type type, const std::string& message, void* reports) {
    // RtMidi prints debug warnings only in its own debug builds; they are noise here.
    if (type == RtMidiError::DEBUG_WARNING) return;
    static_cast<RtMidiReports*>(reports)->Report(RtMidiErrorCode(type), message);
}

} // namespace

OwnerThread::OwnerThread() : context_(std::make_unique<QObject>()) {}

OwnerThread::~OwnerThread() = default;

void OwnerThread::Post(std::function<void()> work) const {
    QMetaObject::invokeMethod(context_.get(), std::move(work), Qt::QueuedConnection);
}

int RtMidiErrorCode(RtMidiError::Type type) {
    if (type == RtMidiError::WARNING || type == RtMidiError::DEBUG_WARNING) return 0;
    return 100 + static_cast<int>(type);
}

RtMidi::Api RtMidiApi(MidiApi api) {
    switch (ResolveMidiApi(api)) {
    case MidiApi::Alsa:
        return RtMidi::LINUX_ALSA;
    case MidiApi::WindowsMm:
        return RtMidi::WINDOWS_MM;
    default:
        return RtMidi::UNIX_JACK;
    }
}

bool HasVirtualPorts(RtMidi::Api api) {
    return api == RtMidi::LINUX_ALSA || api == RtMidi::UNIX_JACK || api == RtMidi::MACOSX_CORE;
}

RtMidiReports::RtMidiReports(const OwnerThread& owner, Deliver deliver)
    : owner_(owner), deliver_(std::move(deliver)) {}

void RtMidiReports::Watch(RtMidi& midi) {
    midi.setErrorCallback(&OnRtMidiError, this);
}

bool RtMidiReports::Attempt(const std::function<void()>& call) {
    failed_ = false;
    try {
        call();
    } catch (const RtMidiError& error) {
        Report(RtMidiErrorCode(error.getType()), error.getMessage());
    } catch (const std::exception& error) {
        Report(RtMidiErrorCode(RtMidiError::UNSPECIFIED), error.what());
    }
    return !failed_;
}

void RtMidiReports::Report(int code, const std::string& message) {
    if (code > 0) failed_ = true;
    owner_.Post([deliver = deliver_, code, message] { deliver(code, message); });
}

bool RtMidiReports::DeviceExists(int device, int count, const std::string& direction) {
    if (device >= 0 && device < count) return true;
    Report(RtMidiErrorCode(RtMidiError::INVALID_DEVICE),
           "MIDI " + direction + " device " + std::to_string(device) + " does not exist (" +
               std::to_string(count) + " " + direction + " devices).");
    return false;
}

} // namespace vtl
