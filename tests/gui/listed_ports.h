#pragma once
// Recording ports that list the devices they are given; one device can be made unreadable,
// as a device that goes away while it is listed.

#include "tests/link/recording_ports.h"

#include <optional>
#include <string>
#include <vector>

namespace vtl::test {

inline constexpr const char* kDefaultOutputName = "default output";

template <class Recording> class ListedPort : public Recording {
public:
    explicit ListedPort(std::vector<std::string> names = {})
        : Recording(static_cast<int>(names.size())), names_(std::move(names)) {}

    void SetNames(std::vector<std::string> names) { names_ = std::move(names); }
    // The device's name cannot be read any more.
    void Lose(int device) { lost_ = device; }

    int DeviceCount() override { return static_cast<int>(names_.size()); }
    void SelectDevice(int number) override {
        Recording::SelectDevice(number);
        selected_ = number;
    }
    std::string DeviceName() override {
        if (lost_ == selected_) return {};
        if (selected_ == MidiOutput::kDefaultDevice) return kDefaultOutputName;
        return names_.at(static_cast<std::size_t>(selected_));
    }

private:
    std::vector<std::string> names_;
    int selected_ = 0;
    std::optional<int> lost_;
};

using ListedInput = ListedPort<RecordingInput>;
using ListedOutput = ListedPort<RecordingOutput>;

} // namespace vtl::test
