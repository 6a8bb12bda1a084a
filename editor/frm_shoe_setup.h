#pragma once
// The expression shoe editor: whether a manual's shoe sends volume or expression, and on
// which MIDI channel, or nothing.

#include "editor/editor_dialog.h"

namespace vtl {

struct ConsoleModel;
struct FunctionCatalogue;

class frmShoeSetup : public EditorDialog {
public:
    frmShoeSetup(EditorHost& host, ConsoleModel& console, const FunctionCatalogue& catalogue,
                 QWidget* parent = nullptr);

    // The panel index (0 to 2) as decimal text, handed over by the main window.
    void setManualNumber(const QString& text) { txtManualNumber_ = text; }
    const QString& manualNumber() const { return txtManualNumber_; }

private:
    void Load() override;
    void Activate() override;
    void Save() override;
    void LoadShoe();

    ConsoleModel& console_;
    const FunctionCatalogue& catalogue_;
    QString txtManualNumber_;
    int shoeManualIndex_ = 0;
    QLabel* lblManual_;
    QComboBox* cboType_;
    QComboBox* cboMidiChannel_;
};

} // namespace vtl
