#pragma once
// The division channel editor: on which of the 16 MIDI channels a manual's division sends.

#include "editor/editor_dialog.h"

#include <array>

namespace vtl {

struct ConsoleModel;

class frmMIDIChannels : public EditorDialog {
public:
    frmMIDIChannels(EditorHost& host, ConsoleModel& console, QWidget* parent = nullptr);

    // The panel index (0 to 2) as decimal text, handed over by the main window.
    void setDivisionNumber(const QString& text) { txtDivisionNumber_ = text; }
    const QString& divisionNumber() const { return txtDivisionNumber_; }

private:
    void Load() override;
    void Activate() override;
    void Save() override;

    ConsoleModel& console_;
    QString txtDivisionNumber_;
    int divisionIndex_ = 0;
    std::array<QPushButton*, 16> chkChannel_{};
};

} // namespace vtl
