#pragma once
// Where on the console view: a manual, one of its pistons, or an element a click edits and a
// monitor or a check can light or mark.

#include "model/console_model.h"

#include <cstddef>

namespace vtl {

// A manual's panel, counted from 0 at the top (the model's accessors count from 1).
struct ManualIndex {
    int value = 0; // 0 to 2

    // Into the model's per-manual arrays.
    constexpr std::size_t Slot() const { return static_cast<std::size_t>(value); }
    constexpr bool operator==(const ManualIndex&) const = default;
};

// One piston of a manual's rail.
struct PistonSlot {
    ManualIndex manual;
    int piston = 0; // 0 to 19, left to right

    // Into the model's array of all pistons.
    constexpr std::size_t Slot() const {
        return manual.Slot() * kPistonsPerManual + static_cast<std::size_t>(piston);
    }
    constexpr bool operator==(const PistonSlot&) const = default;
};

// A manual's keyboard, one of its pistons, or its shoe.
struct ConsoleElement {
    enum class Kind { Keyboard, Piston, Shoe };

    Kind kind = Kind::Keyboard;
    PistonSlot place; // the manual; for a piston also its place on the rail

    static constexpr ConsoleElement Keyboard(ManualIndex manual) {
        return {Kind::Keyboard, {manual, 0}};
    }
    static constexpr ConsoleElement Piston(PistonSlot slot) { return {Kind::Piston, slot}; }
    static constexpr ConsoleElement Shoe(ManualIndex manual) { return {Kind::Shoe, {manual, 0}}; }
    constexpr bool operator==(const ConsoleElement&) const = default;
};

// How much a mark on an element matters.
enum class Severity { Info, Warning, Error };

} // namespace vtl
