#include "model/console_model.h"

#include <cassert>

namespace vtl {

ConsoleModel::ConsoleModel() {
    for (auto& p : pistons)
        p.functionGroup = kNeverSetGroup;
}

std::size_t ConsoleModel::ManualSlot(int manual) {
    assert(IsManual(manual));
    return static_cast<std::size_t>(manual - 1);
}

std::size_t ConsoleModel::PistonSlot(int manual, int index) {
    assert(index >= 0 && index < kPistonsPerManual);
    return ManualSlot(manual) * kPistonsPerManual + static_cast<std::size_t>(index);
}

} // namespace vtl
