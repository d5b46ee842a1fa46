// The fixture of every end-to-end test: a program session for a user who
// never ran the program (no settings left by an earlier test), ended and
// cleaned up after the test, with a screenshot of the screen left in
// build/e2e-failures/<Suite>.<Test>.bmp when the test failed.
#pragma once

#include <gtest/gtest.h>

#include "support/program_session.h"

namespace td::e2e {

class ProgramTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    ProgramSession program;
};

}  // namespace td::e2e
