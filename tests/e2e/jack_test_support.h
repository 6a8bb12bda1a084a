#pragma once
// Helpers for tests on the private JACK server: names no other test process uses, waiting on
// the event loop, and finding a port by name.

#include "link/bytes.h"
#include "platform/midi_io.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <string>

namespace vtl::test {

// A client and port name unique to this process and role.
inline std::string uniqueName(const std::string& role) {
    return "vtl-" + role + "-" + std::to_string(::getpid());
}

// Runs the event loop until the condition holds; false if it still does not after the limit.
// The limit only keeps a broken test from hanging; nothing here measures time.
inline bool waitUntil(const std::function<bool()>& condition,
                      std::chrono::milliseconds limit = std::chrono::seconds(20)) {
    const QDeadlineTimer deadline(limit);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents();
        QThread::msleep(2);
    }
    return true;
}

// Runs the event loop for a few rounds, so that anything already posted is handled.
inline void settle() {
    for (int round = 0; round < 50; ++round) {
        QCoreApplication::processEvents();
        QThread::msleep(2);
    }
}

// The device number whose name contains the given text, or -2 when there is none.
inline int findDevice(MidiPort& port, const std::string& text) {
    for (int number = 0; number < port.deviceCount(); ++number) {
        port.selectDevice(number);
        if (port.deviceName().find(text) != std::string::npos)
            return number;
    }
    return -2;
}

struct ReportedError {
    int code;
    std::string message;
};

} // namespace vtl::test
