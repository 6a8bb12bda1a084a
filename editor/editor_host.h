#pragma once

class QCursor;
class QString;
class QWidget;

namespace vtl {

// What an editor needs from the window that opens it.
class EditorHost {
public:
    virtual ~EditorHost() = default;
    // Moves the dialog over the panel of manual m + 1 (m = 0 to 2).
    virtual void PlaceOverManual(QWidget& dialog, int m) const = 0;
    // The tooltip of piston slot k (0 to 59).
    virtual void SetPistonToolTip(int k, const QString& text) = 0;
    // The pointer over everything a click edits.
    virtual const QCursor& handCursor() const = 0;
};

} // namespace vtl
