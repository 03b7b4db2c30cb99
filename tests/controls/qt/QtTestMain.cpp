#include <QApplication>

#include <gtest/gtest.h>

#include <memory>

// Widget tests need an application object; listing the tests (CTest's
// discovery at build time) needs none.
int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    std::unique_ptr<QApplication> application;
    if (!GTEST_FLAG_GET(list_tests))
        application = std::make_unique<QApplication>(argc, argv);
    return RUN_ALL_TESTS();
}
