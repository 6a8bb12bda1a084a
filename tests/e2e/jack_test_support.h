#pragma once
// Helpers for tests on the private JACK server: names no other test process uses, waiting on
// the event loop for a condition, finding a port by name, and the open errors every port
// reports alike.

#include "link/midi_io.h"
#include "sysex/bytes.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

namespace vtl::test {

// A client and port name unique to this process and role.
inline std::string UniqueName(const std::string& role) {
    return "vtl-" + role + "-" + std::to_string(::getpid());
}

// Runs the event loop until the condition holds; false if it still does not after the limit.
// The limit only keeps a broken test from hanging; nothing here measures time.
inline bool WaitUntil(const std::function<bool()>& condition,
                      std::chrono::milliseconds limit = std::chrono::seconds(20)) {
    const QDeadlineTimer deadline(limit);
    while (!condition()) {
        if (deadline.hasExpired()) return false;
        QCoreApplication::processEvents();
        QThread::msleep(2);
    }
    return true;
}

// The device number whose name contains the given text, or -2 when there is none.
inline int FindDevice(MidiPort& port, const std::string& text) {
    for (int number = 0; number < port.DeviceCount(); ++number) {
        port.SelectDevice(number);
        if (port.DeviceName().find(text) != std::string::npos) return number;
    }
    return -2;
}

// Opening a device that is not there fails later, through onError naming the device, never
// from inside open(); the port stays closed.
template <class Port, class IsOpen>
void ExpectOpenErrorsLater(Port& port, std::initializer_list<int> devices, IsOpen isOpen) {
    std::vector<std::pair<int, std::string>> errors;
    port.OnError([&](int code, const std::string& message) { errors.emplace_back(code, message); });
    for (const int device : devices) {
        SCOPED_TRACE("device " + std::to_string(device));
        errors.clear();
        port.SelectDevice(device);
        EXPECT_EQ(port.DeviceName(), "");
        EXPECT_NO_THROW(port.Open());
        EXPECT_TRUE(errors.empty()) << "reported from inside open()";
        ASSERT_TRUE(WaitUntil([&] { return !errors.empty(); }));
        EXPECT_GT(errors.front().first, 0);
        EXPECT_NE(errors.front().second.find(std::to_string(device)), std::string::npos);
        EXPECT_FALSE(isOpen());
    }
    port.OnError(nullptr);
}

} // namespace vtl::test
