#pragma once
// A background task must end the same way whatever happens inside it: the
// validator's window can only close once its task has reached the end.
// Pure: builds on the host.

#include <functional>

namespace korvex::wizard {

// Runs task; false when it threw, whatever it threw (a failed allocation
// included). Never throws itself.
bool RunCatchingAll(const std::function<void()>& task) noexcept;

}  // namespace korvex::wizard
