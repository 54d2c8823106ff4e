// The run log's writer: lines held until the log opens, lines longer than the small buffer,
// appending to an earlier run's log, and the outcome text of a failed call.
#include <string>

#include "base/run_log.h"
#include "support/sim_test.h"

namespace {

const char kLog[] = "C:\\run.log";

class RunLog : public SimTest {
  protected:
    void TearDown() override {
        close_run_log();
        SimTest::TearDown();
    }
    std::string text() const {
        const sim::FileNode *node = machine.files.find(kLog);
        return node ? node->content : "";
    }
};

TEST_F(RunLog, HeldLinesComeFirstInTheirOrderAndEachLineIsOnDiskAtOnce) {
    hold_log_lines();
    log_line("header %d", 1);
    log_line("finding");
    ASSERT_EQ(1, open_run_log(kLog));
    EXPECT_EQ("header 1\r\nfinding\r\n", text());
    log_line("action");
    EXPECT_EQ("header 1\r\nfinding\r\naction\r\n", text()) << "written before the log closes";
}

TEST_F(RunLog, WithoutALogOrHoldingNothingIsKept) {
    log_line("lost");
    ASSERT_EQ(1, open_run_log(kLog));
    EXPECT_EQ("", text());
}

TEST_F(RunLog, DroppedLinesNeverReachALaterLog) {
    hold_log_lines();
    log_line("held");
    drop_held_log_lines();
    log_line("after the drop");
    ASSERT_EQ(1, open_run_log(kLog));
    EXPECT_EQ("", text());
}

TEST_F(RunLog, LongLinesAreWrittenWhole) {
    std::string path(3000, 'p');
    ASSERT_EQ(1, open_run_log(kLog));
    log_line("delete file %s: removed", path.c_str());
    EXPECT_EQ("delete file " + path + ": removed\r\n", text());
}

TEST_F(RunLog, AnEarlierRunsLogIsAppendedTo) {
    machine.files.write_file(kLog, "earlier run\r\n");
    ASSERT_EQ(1, open_run_log(kLog));
    log_line("this run");
    EXPECT_EQ("earlier run\r\nthis run\r\n", text());
    EXPECT_STREQ(kLog, run_log_path());
}

TEST_F(RunLog, ALogThatCannotBeOpenedIsNoLog) {
    EXPECT_EQ(0, open_run_log("C:\\missing folder\\run.log"));
    EXPECT_EQ(0, run_log_is_open());
    EXPECT_STREQ("", run_log_path());
    log_line("goes nowhere");
}

TEST(FailureText, Win32ErrorsInDecimalSetupApiErrorsInHexadecimal) {
    struct {
        unsigned long error;
        const char *text;
    } cases[] = {
        {5, "failed (error 5)"},
        {32, "failed (error 32)"},
        {0xE0000235, "failed (error 0xE0000235)"},
        {0xE000020B, "failed (error 0xE000020B)"},
    };
    for (const auto &c : cases) {
        char buffer[FAILURE_TEXT_SIZE];
        EXPECT_STREQ(c.text, failure_text(c.error, buffer)) << c.error;
    }
}

}  // namespace
