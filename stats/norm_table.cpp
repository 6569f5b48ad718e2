#include "stats/norm_table.h"

namespace orvix::stats {

const TNormIndex* FindNormIndex(std::string_view column) noexcept {
    for (const TNormIndex& index : kNormIndices)
        if (index.Column == column) return &index;
    return nullptr;
}

std::string_view SexName(TSex sex) noexcept {
    switch (sex) {
        case TSex::Male:
            return "male";
        case TSex::Female:
            return "female";
        case TSex::Any:
            break;
    }
    return "any";
}

std::string_view DirectionName(TDirection direction) noexcept {
    return direction == TDirection::Lower ? "lower" : "higher";
}

}  // namespace orvix::stats
