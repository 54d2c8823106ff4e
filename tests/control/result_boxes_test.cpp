// The failure boxes of results 13 and 14: the failure line with the code, and the detail
// line of the profile when it has one.
#include <gtest/gtest.h>

#include <string>

#include "control/message_step.h"
#include "support/cp932.h"
#include "support/sim_test.h"

class ResultBoxesTest : public SimTest {
  protected:
    std::string failure(int code) {
        return std::string(profile.failure_text.japanese) + " (" + std::to_string(code) + ")";
    }
};

TEST_F(ResultBoxesTest, NotAdministratorWithTheBuiltInProfileIsOneLine) {
    ASSERT_EQ(nullptr, profile.not_admin_message.japanese);
    run_record record = new_record();
    show_result_messages(&record, 13);
    ASSERT_EQ(1u, machine.ui.boxes.size());
    EXPECT_EQ(failure(13), machine.ui.boxes[0].text) << "no detail line";
    EXPECT_EQ(profile.failure_caption.japanese, machine.ui.boxes[0].caption);
    EXPECT_EQ(0x10u, machine.ui.boxes[0].style);
}

TEST_F(ResultBoxesTest, NotAdministratorWithADetailLine) {
    std::string detail = cp932(u8"管理者としてログオンしてください。");
    profile.not_admin_message = shown_text{detail.c_str(), detail.c_str()};
    run_record record = new_record();
    show_result_messages(&record, 13);
    ASSERT_EQ(1u, machine.ui.boxes.size());
    EXPECT_EQ(failure(13) + "\n" + detail, machine.ui.boxes[0].text);
}

TEST_F(ResultBoxesTest, HandsetAttachedCarriesTheDeviceConnectedMessage) {
    run_record record = new_record();
    show_result_messages(&record, 14);
    ASSERT_EQ(1u, machine.ui.boxes.size());
    EXPECT_EQ(failure(14) + "\n" + profile.device_connected_message.japanese, machine.ui.boxes[0].text);
    EXPECT_EQ(0x10u, machine.ui.boxes[0].style);
}

TEST_F(ResultBoxesTest, StandardUserRunEndsWith13BeforeTheDialog) {
    process.token = sim::standard_user_token();
    int result = run("");
    EXPECT_EQ(13, result);
    EXPECT_TRUE(machine.ui.dialogs.empty()) << "no confirmation is asked";
    ASSERT_EQ(1u, machine.ui.boxes.size());
    EXPECT_EQ(failure(13), machine.ui.boxes[0].text);
}
