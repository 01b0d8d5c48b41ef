#include <gtest/gtest.h>

#include <thread>

#include "base/ComInitialization.h"

namespace {

// After every scope has ended the thread is uninitialised again, so a new
// CoInitialize answers S_OK rather than S_FALSE ("already initialised").
HRESULT InitialiseAfter(int nesting)
{
    HRESULT result = E_FAIL;
    std::thread worker([&] {
        if (nesting == 2) {
            const ComInitialization outer;
            const ComInitialization inner;
            EXPECT_TRUE(inner.Succeeded());
        } else {
            const ComInitialization only;
            EXPECT_TRUE(only.Succeeded());
        }
        result = CoInitialize(nullptr);
        CoUninitialize();
    });
    worker.join();
    return result;
}

TEST(ComInitializationTest, EveryScopeIsBalanced)
{
    for (int nesting : {1, 2}) {
        SCOPED_TRACE(nesting);
        EXPECT_EQ(InitialiseAfter(nesting), S_OK);
    }
}

}  // namespace
