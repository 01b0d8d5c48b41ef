// The validator's task reaches its end whatever its check throws.

#include "wizard/CatchAll.h"

#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <stdexcept>
#include <string>

using namespace korvex::wizard;

namespace {

TEST(RunCatchingAll, EveryThrowEndsTheTaskWithFalse)
{
    const struct {
        const char* m_name;
        std::function<void()> m_task;
        bool m_bCompleted;
    } rows[] = {
        {"returns", [] {}, true},
        {"failed allocation", [] { throw std::bad_alloc(); }, false},
        {"standard error", [] { throw std::runtime_error("x"); }, false},
        {"string past its end", [] { (void)std::string("ab").at(5); }, false},
        {"not an exception class", [] { throw 7; }, false},
        {"empty function", std::function<void()>(), false},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(RunCatchingAll(row.m_task), row.m_bCompleted) << row.m_name;
    }
}

}  // namespace
