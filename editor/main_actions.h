#pragma once

namespace vtl {

// What the main window's menus and toolbar ask the application to do.
class MainActions {
public:
    virtual ~MainActions() = default;
    virtual void LoadConfigurationFile() = 0;
    virtual void SaveConfigurationFile() = 0;
    virtual void ReadFromVtl() = 0;
    virtual void WriteToVtl() = 0;
    virtual void MidiSetup() = 0;
    // The "Verify after Write" option was switched.
    virtual void SetVerifyAfterWrite(bool on) = 0;
    virtual void ViewDocumentation() = 0;
    virtual void About() = 0;
    // Asked before the console in memory is replaced or the program ends: false when the
    // user wants to go back to edits not yet saved or written.
    virtual bool MayDiscardEdits() = 0;
    // The main window was closed: shut down.
    virtual void Shutdown() = 0;
    // The 100 ms tick of the transfer controller.
    virtual void Tick() = 0;
};

} // namespace vtl
