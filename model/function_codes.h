#pragma once
// The MCU's function codes for pistons of the Ahlborn groups (0 to 5).

#include <optional>

namespace vtl {

// The function byte of a piston of groups 0 to 5. A type outside its group's list is
// encoded by the group's rule all the same (a coupler outside the list gives 0).
int FunctionCode(int group, int type);

struct GroupAndType {
    int group;
    int type;
};

// The group and type a function byte stands for, when it is one of the listed functions.
std::optional<GroupAndType> FunctionFromCode(int code);

} // namespace vtl
