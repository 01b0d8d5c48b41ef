#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "base/UniqueHandle.h"

namespace {

// Handles are ints; -1 is the invalid value, so 0 is a real handle that must
// be released like any other (as INVALID_HANDLE_VALUE makes null valid).
std::vector<int> g_closed;

struct CountingTraits {
    using Handle = int;
    static Handle Invalid() noexcept { return -1; }
    static void Close(Handle handle) noexcept { g_closed.push_back(handle); }
};
using Owner = UniqueHandle<CountingTraits>;

struct Case {
    const char* name;
    void (*run)();
    std::vector<int> closed;
};

const Case kCases[] = {
    {"destruction releases", [] { Owner owner(7); }, {7}},
    {"zero is a handle", [] { Owner owner(0); }, {0}},
    {"an empty owner releases nothing", [] { Owner owner; }, {}},
    {"an invalid handle is not released", [] { Owner owner(-1); }, {}},
    {"release hands the handle over",
     [] {
         Owner owner(7);
         EXPECT_EQ(owner.release(), 7);
         EXPECT_FALSE(owner);
     },
     {}},
    {"reset releases the old handle first",
     [] {
         Owner owner(7);
         owner.reset(8);
         g_closed.push_back(100);
     },
     {7, 100, 8}},
    {"a moved-from owner releases nothing",
     [] {
         Owner first(7);
         Owner second(std::move(first));
         EXPECT_FALSE(first);
         EXPECT_EQ(second.get(), 7);
     },
     {7}},
    {"move assignment releases the target's handle",
     [] {
         Owner first(7);
         Owner second(8);
         second = std::move(first);
         g_closed.push_back(100);
     },
     {8, 100, 7}},
    {"self move assignment keeps the handle",
     [] {
         Owner owner(7);
         Owner& alias = owner;
         owner = std::move(alias);
         EXPECT_EQ(owner.get(), 7);
         g_closed.push_back(100);
     },
     {100, 7}},
};

TEST(UniqueHandleTest, ReleasesEachHandleExactlyOnce)
{
    for (const Case& test : kCases) {
        SCOPED_TRACE(test.name);
        g_closed.clear();
        test.run();
        EXPECT_EQ(g_closed, test.closed);
    }
}

}  // namespace
