#include "wizard/CatchAll.h"

bool RunCatchingAll(const std::function<void()>& task) noexcept
{
    try {
        task();
        return true;
    } catch (...) {
        return false;
    }
}
