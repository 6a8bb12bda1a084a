#pragma once

namespace vtl {

// What the main window asks of the application beside its commands.
class MainActions {
public:
    virtual ~MainActions() = default;
    // Asked before the console in memory is replaced or the program ends: false when the
    // user wants to go back to edits not yet saved or written.
    virtual bool MayDiscardEdits() = 0;
    // The main window was closed: shut down.
    virtual void Shutdown() = 0;
    // The 100 ms tick of the transfer controller.
    virtual void Tick() = 0;
};

} // namespace vtl
