#pragma once
// The console picture in the main window: a panel per manual (keyboard, piston rail, shoe),
// the hints and the colour legend above them, and a ring around the element in keyboard
// focus. It shows the document's console and follows its changes; a click on an element asks
// for its editor. A monitor or a check can light an element, show it held, show the shoe's
// level and mark an element with a note; a screen reader hears each with the element.

#include "editor/console_element.h"

#include <QWidget>

#include <array>
#include <optional>

class QCursor;
class QFrame;

namespace vtl {

class ConsoleDocument;
class FocusRing;
class ManualPanel;

class ConsoleView : public QWidget {
    Q_OBJECT

public:
    // The design's client area begins with a toolbar of this height, in twips.
    static constexpr int kToolbarTwips = 420;

    ConsoleView(const ConsoleDocument& document, const QCursor& hand, QWidget* parent);

    // Places and shows the panels of the console's manuals, with the hints and the legend.
    void ShowManuals();
    void HideManuals();
    // A read from the MCUs starts: all panels hidden, the start prompt shown.
    void ShowReading();
    const ManualPanel& Panel(ManualIndex manual) const;

    // Lit for a moment.
    void Light(const ConsoleElement& element);
    void SetHeld(const ConsoleElement& element, bool held);
    // The shoe's position, 0 to 127; none: no level shown.
    void SetLevel(ManualIndex manual, std::optional<int> level);
    void Mark(const ConsoleElement& element, Severity severity, const QString& note);
    void ClearMark(const ConsoleElement& element);
    // Gives the element the keyboard focus, ringed as after Tab, in its window brought up.
    void Focus(const ConsoleElement& element);
    // A key of the manual's keyboard drawn pressed or released (notes 36 to 96; one outside
    // at the nearest end).
    void SetKeyPressed(ManualIndex manual, int note, bool pressed);
    // What the element last sent, for a screen reader; empty: nothing.
    void SetLastSent(const ConsoleElement& element, const QString& sent);

signals:
    void PistonClicked(vtl::PistonSlot slot);
    void KeyboardClicked(vtl::ManualIndex manual);
    void ShoeClicked(vtl::ManualIndex manual);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildHints();
    void BuildLegend();
    void BuildPanel(ManualIndex manual, const QCursor& hand);
    // Every element's setting, and what a screen reader says of it, from the console.
    void ShowSettings();
    ManualPanel& PanelOf(const ConsoleElement& element) const;

    const ConsoleDocument& document_;
    FocusRing* focusRing_;
    QFrame* hints_ = nullptr;
    QFrame* startPrompt_ = nullptr;
    QWidget* legend_ = nullptr;
    std::array<ManualPanel*, kMaxManuals> panels_{};
    bool focusByKeys_ = false; // whether the last move of the focus was by Tab
};

} // namespace vtl
