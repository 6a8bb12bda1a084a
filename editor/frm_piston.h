#pragma once
// The piston editor: what one thumb piston does (function group, function, MIDI channel and,
// for a program change, the program number).

#include "editor/console_element.h"
#include "editor/editor_dialog.h"

#include <array>

class QFrame;

namespace vtl {

class ConsoleDocument;

class PistonEditor : public EditorDialog {
public:
    PistonEditor(EditorHost& host, ConsoleDocument& document, QWidget* parent = nullptr);

    // The piston the next showing edits.
    void SetSlot(PistonSlot slot) { slot_ = slot; }

private:
    // The controls of one function group.
    struct GroupControls {
        QFrame* frame;
        QLabel* typeQuestion;
        QComboBox* typeList;
        QLabel* channelQuestion;
        QComboBox* channelList;
    };

    void Load() override;
    void Activate() override;
    void Save() override;
    void LoadPiston();
    void ShowFrame(int group);

    ConsoleDocument& document_;
    PistonSlot slot_;
    QLabel* heading_; // "Piston #14 on Manual #2"
    QLabel* note_;    // what the piston usually is, for the first and the last
    QComboBox* groupList_;
    std::array<GroupControls, 9> groups_{};
    QComboBox* programList_ = nullptr;
};

} // namespace vtl
