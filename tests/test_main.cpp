#include <gtest/gtest.h>

#include <cstdio>

int main(int argc, char** argv) {
    // Output to a pipe is otherwise fully buffered, and a test program that
    // crashes would then show nothing of how far it came.
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
