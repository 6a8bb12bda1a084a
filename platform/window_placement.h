#pragma once
// What the settings file needs of a window to store and restore its placement: its state,
// its outer position and size, and the screen it sits on. Positions and sizes are in the
// window's own units; the screen says how many of them make one pixel.

namespace vtl {

class WindowPlacement {
public:
    virtual ~WindowPlacement() = default;

    virtual bool IsMinimised() const = 0;
    virtual bool IsMaximised() const = 0;

    virtual int Left() const = 0;
    virtual int Top() const = 0;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    // Moves and resizes in one step.
    virtual void Move(int left, int top, int width, int height) = 0;
    virtual void Maximise() = 0;

    // The area windows may occupy, with its origin at left 0, top 0.
    virtual int ScreenWidth() const = 0;
    virtual int ScreenHeight() const = 0;
    virtual int UnitsPerPixelX() const = 0;
    virtual int UnitsPerPixelY() const = 0;
};

} // namespace vtl
