#include "checked_math.h"

namespace orvix {

void RaiseZeroDivide() {
    throw EZeroDivide(msg::kZeroDivide);
}
void RaiseInvalidOp() {
    throw EInvalidOp(msg::kInvalidOp);
}
void RaiseOverflow() {
    throw EOverflow(msg::kOverflow);
}
void RaiseRangeError() {
    throw ERangeError(msg::kRangeError);
}

}  // namespace orvix
