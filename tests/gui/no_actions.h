#pragma once
// A main window's actions that do nothing, for tests and benchmarks of the window alone.

#include "editor/main_actions.h"

struct NoActions : vtl::MainActions {
    void LoadConfigurationFile() override {}
    void SaveConfigurationFile() override {}
    void ReadFromVtl() override {}
    void WriteToVtl() override {}
    void MidiSetup() override {}
    void SetVerifyAfterWrite(bool) override {}
    void ViewDocumentation() override {}
    void About() override {}
    bool MayDiscardEdits() override { return true; }
    void Shutdown() override {}
    void Tick() override {}
};
