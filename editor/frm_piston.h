#pragma once
// The piston editor: what one thumb piston does (function group, function, MIDI channel and,
// for a program change, the program number).

#include "editor/editor_dialog.h"

#include <array>

class QFrame;

namespace vtl {

struct ConsoleModel;
struct FunctionCatalogue;

class frmPiston : public EditorDialog {
public:
    frmPiston(EditorHost& host, ConsoleModel& console, const FunctionCatalogue& catalogue,
              QWidget* parent = nullptr);

    // The piston slot (0 to 59) as decimal text, handed over by the main window.
    void setPistonNumber(const QString& text) { txtPistonNumber_ = text; }
    const QString& pistonNumber() const { return txtPistonNumber_; }

private:
    // The controls of one function group.
    struct Frame {
        QFrame* fraFunction;
        QLabel* lblType;
        QComboBox* cboType;
        QLabel* lblMidiChannel;
        QComboBox* cboMidiChannel;
    };

    void Load() override;
    void Activate() override;
    void Save() override;
    void LoadPiston();
    void ShowFrame(int group);

    ConsoleModel& console_;
    const FunctionCatalogue& catalogue_;
    QString txtPistonNumber_;
    int pistonIndex_ = 0;
    QLabel* lblPiston_;
    QLabel* txtNote_;
    QComboBox* cboFunction_;
    std::array<Frame, 9> frames_{};
    QComboBox* cboProgramChange_ = nullptr;
};

} // namespace vtl
