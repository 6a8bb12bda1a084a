#pragma once

#include "editor/console_element.h"

class QCursor;
class QWidget;

namespace vtl {

// What an editor needs from the window that opens it.
class EditorHost {
public:
    virtual ~EditorHost() = default;
    // Moves the dialog over the manual's panel.
    virtual void PlaceOverManual(QWidget& dialog, ManualIndex manual) const = 0;
    // The pointer over everything a click edits.
    virtual const QCursor& HandCursor() const = 0;
};

} // namespace vtl
