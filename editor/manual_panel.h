#pragma once
// One manual of the console view: its keyboard, its rail of twenty pistons and its shoe
// button, with the labels that show their settings at a glance. Each element can also be
// lit, held, given a level (the shoe) and marked, as a monitor or a check asks; whatever shows
// is also said to a screen reader, after the element's own description.

#include "editor/console_element.h"

#include <QFrame>
#include <QString>

#include <array>
#include <optional>

class QCursor;
class QLabel;
class QPushButton;

namespace vtl {

class ElementOverlay;
class KeyboardPicture;
class LevelBar;
class PistonButton;
struct ConsoleModel;
struct FunctionCatalogue;

class ManualPanel : public QFrame {
public:
    static constexpr int kHeightTwips = 2175;

    ManualPanel(ManualIndex manual, const QCursor& hand, QWidget* parent);

    // The elements a click edits.
    KeyboardPicture& Keyboard() const { return *keyboard_; }
    PistonButton& Piston(int piston) const { return *pistons_[static_cast<std::size_t>(piston)]; }
    QPushButton& ShoeButton() const { return *shoeButton_; }
    QWidget& Element(const ConsoleElement& element) const;
    // The part of an element that a ring or a light surrounds, in the element's coordinates:
    // a keyboard's foot lies under the rail.
    QRect VisibleArea(const QWidget& element) const;

    // The manual's settings as the console holds them.
    void ShowSettings(const ConsoleModel& console, const FunctionCatalogue& catalogue);

    // Lit for a moment.
    void Light(const ConsoleElement& element);
    void SetHeld(const ConsoleElement& element, bool held);
    // The shoe's position, 0 to 127; none: no level shown.
    void SetLevel(std::optional<int> level);
    void Mark(const ConsoleElement& element, Severity severity, const QString& note);
    void ClearMark(const ConsoleElement& element);
    // A key drawn pressed or released; a note outside the keyboard at its nearest end.
    void SetKeyPressed(int note, bool pressed);
    // What the element last sent, said after its description; empty: nothing.
    void SetLastSent(const ConsoleElement& element, const QString& sent);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    static constexpr int kElements = kPistonsPerManual + 2;

    // What an element says of itself, from the console.
    struct Words {
        QString description;
        QString toolTip;
    };

    static std::size_t Index(const ConsoleElement& element);
    QWidget& ElementAt(std::size_t index) const;
    ElementOverlay& Overlay(const ConsoleElement& element);
    // The element's description and tooltip: its own words, then whatever shows on it.
    void Present(std::size_t index);

    ManualIndex manual_;
    QLabel* channelsLabel_;
    KeyboardPicture* keyboard_;
    QLabel* pistonLine_; // the short label of the piston under the pointer or in focus
    std::array<PistonButton*, kPistonsPerManual> pistons_{};
    std::array<QString, kPistonsPerManual> pistonLabels_;
    QPushButton* shoeButton_;
    QLabel* shoeLabel_;
    // By element: the keyboard, the pistons left to right, the shoe.
    std::array<Words, kElements> words_;
    std::array<QString, kElements> lastSent_;
    // Made at an element's first light or mark, the level bar at the first level.
    std::array<ElementOverlay*, kElements> overlays_{};
    LevelBar* levelBar_ = nullptr;
};

// A label of the settings shown beside the elements: small, and not in the way of a click.
QLabel* AddSettingLabel(QWidget* parent, const QRect& geometry, Qt::Alignment alignment);

} // namespace vtl
