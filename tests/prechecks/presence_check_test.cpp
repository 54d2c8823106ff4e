// The presence check: the attached devices of the product's interface class.
#include <gtest/gtest.h>

#include "prechecks/presence_check.h"
#include "support/device_machine.h"
#include "support/sim_test.h"

namespace {

class PresenceCheckTest : public SimTest {
  protected:
    // n attached handsets, each exposing the product's interface class.
    void plant_attached(int n) {
        for (int i = 0; i < n; ++i) {
            sim::Device &d = plant_device_with_driver(machine, "USB\\VID_FFFF&PID_0001\\" + std::to_string(i),
                                                      {"USB\\VID_FFFF&PID_0001"}, MODEM_CLASS, "", DriverKeyPlan{}, true);
            add_product_interface(d);
        }
    }
};

TEST_F(PresenceCheckTest, PresenceCheckSeesOnlyActiveInterfaces) {
    EXPECT_EQ(0, is_handset_attached(PRODUCT_GUID)) << "no handset at all";
    sim::Device &detached = plant_device_with_driver(machine, "USB\\VID_FFFF&PID_0001\\9", {"USB\\VID_FFFF&PID_0001"},
                                                     MODEM_CLASS, "", DriverKeyPlan{}, false);
    add_product_interface(detached);
    EXPECT_EQ(0, is_handset_attached(PRODUCT_GUID)) << "an installed but detached handset";
    plant_attached(1);
    EXPECT_EQ(1, is_handset_attached(PRODUCT_GUID));
    EXPECT_EQ(1, is_handset_attached("{5a0c31e2-7d44-4f19-9b6e-2c8d10f3a7b5}"));
    machine.devices.class_devs_fail = true;
    EXPECT_EQ(0, is_handset_attached(PRODUCT_GUID)) << "a list that cannot be had counts none";
}

TEST_F(PresenceCheckTest, MalformedGuidEnumeratesNothing) {
    plant_attached(1);
    EXPECT_EQ(0, is_handset_attached("{5A0C31E2-7D44-4F19-9B6E-2C8D10F3A7B}"));
    EXPECT_EQ(0, is_handset_attached(""));
    EXPECT_TRUE(machine.calls_to("SetupDiGetClassDevsA").empty()) << "no list of an undefined class";
}

}  // namespace
