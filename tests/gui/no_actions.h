#pragma once
// What a main window asks of the application, answered by doing nothing, for tests and
// benchmarks of the window alone.

#include "editor/main_actions.h"

struct NoActions : vtl::MainActions {
    bool MayDiscardEdits() override { return true; }
    void Shutdown() override {}
    void Tick() override {}
};
