#pragma once
// What the settings file needs of a window to store and restore its placement: its state,
// its outer position and size, and the screen it sits on. Positions and sizes are in the
// window's own units; the screen says how many of them make one pixel.

namespace vtl {

class WindowPlacement {
public:
    virtual ~WindowPlacement() = default;

    virtual bool isMinimised() const = 0;
    virtual bool isMaximised() const = 0;

    virtual int left() const = 0;
    virtual int top() const = 0;
    virtual int width() const = 0;
    virtual int height() const = 0;
    // Moves and resizes in one step.
    virtual void move(int left, int top, int width, int height) = 0;
    virtual void maximise() = 0;

    // The area windows may occupy, with its origin at left 0, top 0.
    virtual int screenWidth() const = 0;
    virtual int screenHeight() const = 0;
    virtual int unitsPerPixelX() const = 0;
    virtual int unitsPerPixelY() const = 0;
};

} // namespace vtl
