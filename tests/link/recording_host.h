#pragma once
// A status window, console view and host that keep what they were told.

#include "link/link_host.h"

#include <string>
#include <vector>

namespace vtl::test {

class RecordingStatus : public StatusSink {
public:
    void setCaption(const std::string& c) override { caption = c; }
    void setText(const std::string& t) override { text = t; }
    void append(const std::string& t) override { text += t; }
    void centre() override {}
    void show() override { visible = true; }
    void hide() override { visible = false; }
    void unload() override {
        visible = false;
        text.clear();
    }
    bool isVisible() const override { return visible; }

    std::string caption;
    std::string text;
    bool visible = false;
};

class RecordingView : public ConsoleView {
public:
    void ShowManuals() override { ++manualsShown; }
    void SetCommandsDataLoaded() override { ++dataLoaded; }
    void ShowReading() override { ++readingShown; }

    int manualsShown = 0;
    int dataLoaded = 0;
    int readingShown = 0;
};

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
