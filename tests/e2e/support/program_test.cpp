#include "support/program_test.h"

#include "support/paths.h"

namespace td::e2e {

void ProgramTest::SetUp() { program.ForgetUserSettings(); }

void ProgramTest::TearDown() {
    if (HasFailure()) {
        const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
        const std::string path = FailureFolder() + test->test_suite_name() + "." + test->name() + ".bmp";
        if (program.SaveScreenshot(path)) std::printf("Screenshot of the failure: %s\n", path.c_str());
    }
    program.Kill();
}

}  // namespace td::e2e
