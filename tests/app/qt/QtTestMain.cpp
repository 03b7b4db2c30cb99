#include "app/qt/Application.h"

#include <gtest/gtest.h>

#include <memory>

// Widget tests need the application object the program itself runs with,
// so that failures escaping handlers take the same way as in the program.
// Listing the tests (CTest's discovery at build time) needs no display.
int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    std::unique_ptr<pix::TApplication> application;
    if (!GTEST_FLAG_GET(list_tests))
        application = std::make_unique<pix::TApplication>(argc, argv);
    return RUN_ALL_TESTS();
}
