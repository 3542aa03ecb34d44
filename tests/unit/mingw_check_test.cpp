// The COM host is compiled on Windows only; here it is checked with the MinGW-w64 cross compiler
// when one is installed.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <cstdio>
#include <string>
#include <sys/wait.h>

namespace {

TEST(CrossCompile, ComHostPassesTheMinGwSyntaxCheck) {
    const std::string script = std::string(TC_TEST_DATA_DIR) + "/../../.ci/mingw_check.sh 2>&1";
    FILE* p = popen(script.c_str(), "r");
    ASSERT_NE(p, nullptr);
    std::string output;
    char buf[512];
    while (size_t n = fread(buf, 1, sizeof buf, p))
        output.append(buf, n);
    const int status = pclose(p);
    ASSERT_TRUE(WIFEXITED(status)) << output;
    if (WEXITSTATUS(status) == 77) GTEST_SKIP() << output;
    EXPECT_EQ(WEXITSTATUS(status), 0) << output;
}

} // namespace
#endif
