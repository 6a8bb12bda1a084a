#pragma once
// The division channel editor: on which of the 16 MIDI channels a manual's division sends.

#include "editor/console_element.h"
#include "editor/editor_dialog.h"

#include <array>

namespace vtl {

class ConsoleDocument;

class ChannelEditor : public EditorDialog {
public:
    ChannelEditor(EditorHost& host, ConsoleDocument& document, QWidget* parent = nullptr);

    // The manual whose keyboard the next showing edits.
    void SetManual(ManualIndex manual) { manual_ = manual; }

private:
    void Load() override;
    void Activate() override;
    void Save() override;

    ConsoleDocument& document_;
    ManualIndex manual_;
    std::array<QPushButton*, kChannelCount> channelButtons_{}; // checked: the keyboard sends on it
};

} // namespace vtl
