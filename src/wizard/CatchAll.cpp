#include "wizard/CatchAll.h"

namespace korvex::wizard {

bool RunCatchingAll(const std::function<void()>& task) noexcept
{
    try {
        task();
        return true;
    } catch (...) {
        return false;
    }
}

}  // namespace korvex::wizard
