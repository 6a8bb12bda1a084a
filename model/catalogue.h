#pragma once
// The names of what a piston or a shoe can do. List positions are the numbers the model
// stores in PistonInfo::functionGroup and PistonInfo::functionType.

#include <array>
#include <span>
#include <string_view>

namespace vtl {

class NameList {
public:
    constexpr NameList() = default;
    constexpr explicit NameList(std::span<const std::string_view> names) : names_(names) {}

    int Count() const { return static_cast<int>(names_.size()); }
    // The name at a 0-based model index; empty outside the list.
    std::string_view Name(int index) const {
        return index >= 0 && index < Count() ? names_[static_cast<std::size_t>(index)]
                                             : std::string_view{};
    }
    std::span<const std::string_view> Names() const { return names_; }

private:
    std::span<const std::string_view> names_;
};

// Function groups by index; 8 is "Unassigned".
enum FunctionGroup : int {
    kCouplerGroup = 0,
    kTremulantGroup = 1,
    kCancelGroup = 2,
    kGeneralGroup = 3,
    kSetGroup = 4,
    kSfzGroup = 5,
    kProgramChangeGroup = 6,
    kTrevaGroup = 7,
    kUnassignedGroup = 8,
};

struct FunctionCatalogue {
    NameList functionGroupNames;
    std::array<NameList, 10> functionTypeNames; // slot g: the functions of group g; 8, 9 empty
    NameList shoeTypeNames;
};

FunctionCatalogue BuildCatalogue();

} // namespace vtl
