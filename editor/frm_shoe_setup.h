#pragma once
// The expression shoe editor: whether a manual's shoe sends volume or expression, and on
// which MIDI channel, or nothing.

#include "editor/console_element.h"
#include "editor/editor_dialog.h"

namespace vtl {

class ConsoleDocument;

class ShoeEditor : public EditorDialog {
public:
    ShoeEditor(EditorHost& host, ConsoleDocument& document, QWidget* parent = nullptr);

    // The manual whose shoe the next showing edits.
    void SetManual(ManualIndex manual) { manual_ = manual; }

private:
    void Load() override;
    void Activate() override;
    void Save() override;
    void LoadShoe();

    ConsoleDocument& document_;
    ManualIndex manual_;
    QLabel* inputLine_; // "Configuring Analog Input #2 on Manual #3"
    QComboBox* typeList_;
    QComboBox* channelList_;
};

} // namespace vtl
