#pragma once
// A host that keeps the messages and log lines it was given and answers the MIDI setup
// dialog as told.

#include "link/link_host.h"

#include <string>
#include <vector>

namespace vtl::test {

class RecordingHost : public LinkHost {
public:
    bool ChooseMidiDevices() override {
        ++setupShown;
        return chooses;
    }
    void ShowMessage(const std::string& text) override { messages.push_back(text); }
    void WriteLog(const std::string& line) override { log.push_back(line); }
    void ReportConversionError(const std::string& text) override { messages.push_back(text); }

    bool chooses = false;
    int setupShown = 0;
    std::vector<std::string> messages;
    std::vector<std::string> log;
};

} // namespace vtl::test
