// The test programs that draw into the console report on standard error instead of standard
// output: standard output is the console under test.
#include <gtest/gtest.h>

#include <cstdio>

namespace {

class ErrorStreamPrinter final : public testing::EmptyTestEventListener {
public:
    void OnTestStart(const testing::TestInfo& test) override {
        std::fprintf(stderr, "[ RUN      ] %s.%s\n", test.test_suite_name(), test.name());
    }
    void OnTestPartResult(const testing::TestPartResult& result) override {
        if (result.failed()) {
            std::fprintf(stderr, "%s:%d: Failure\n%s\n",
                         result.file_name() ? result.file_name() : "?", result.line_number(),
                         result.message());
        }
    }
    void OnTestEnd(const testing::TestInfo& test) override {
        std::fprintf(stderr, "[ %s ] %s.%s\n", test.result()->Passed() ? "      OK" : "FAILED  ",
                     test.test_suite_name(), test.name());
    }
    void OnTestProgramEnd(const testing::UnitTest& unit) override {
        std::fprintf(stderr, "%d passed, %d failed\n", unit.successful_test_count(),
                     unit.failed_test_count());
        std::fflush(stderr);
    }
};

} // namespace

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    testing::TestEventListeners& listeners = testing::UnitTest::GetInstance()->listeners();
    delete listeners.Release(listeners.default_result_printer());
    listeners.Append(new ErrorStreamPrinter);
    return RUN_ALL_TESTS();
}
