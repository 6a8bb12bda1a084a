#include "model/function_codes.h"

#include "model/catalogue.h"

#include <array>

namespace vtl {
namespace {

constexpr std::array kCouplerCodes{4, 5, 16, 23, 24, 25};
constexpr int kGeneralCancelCode = 160;

} // namespace

int FunctionCode(int group, int type) {
    switch (group) {
    case kCouplerGroup:
        return type >= 0 && type < static_cast<int>(kCouplerCodes.size())
                   ? kCouplerCodes[static_cast<std::size_t>(type)]
                   : 0;
    case kTremulantGroup:
        return type + 87;
    case kCancelGroup:
        return type == 0 ? kGeneralCancelCode : type + 89;
    case kGeneralGroup:
        return type + 129;
    case kSetGroup:
        return 94;
    case kSfzGroup:
        return 95;
    default:
        return -1;
    }
}

std::optional<GroupAndType> FunctionFromCode(int code) {
    // Built once from the encoding rule over every listed function, so that the two
    // directions cannot disagree.
    static const auto kTable = [] {
        std::array<std::optional<GroupAndType>, 256> t{};
        const auto catalogue = BuildCatalogue();
        for (int g = kCouplerGroup; g <= kSfzGroup; ++g) {
            for (int type = 0; type < catalogue.functionTypeNames[g].Count(); ++type) {
                t[static_cast<std::size_t>(FunctionCode(g, type))] = GroupAndType{g, type};
            }
        }
        return t;
    }();
    if (code < 0 || code > 255) return std::nullopt;
    return kTable[static_cast<std::size_t>(code)];
}

} // namespace vtl
