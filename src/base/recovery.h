#ifndef KVO_BASE_RECOVERY_H_
#define KVO_BASE_RECOVERY_H_

#include "base/runtime_error.h"

namespace kvo {

// Runs one step of a procedure that recovers step by step: a RuntimeError
// abandons only this step. Returns false when the step was abandoned.
// Nothing but RuntimeError is swallowed.
template <typename Step>
bool TryStep(Step&& step) {
  try {
    step();
    return true;
  } catch (const RuntimeError&) {
    return false;
  }
}

}  // namespace kvo

#endif  // KVO_BASE_RECOVERY_H_
