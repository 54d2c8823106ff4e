// The simulated SetupAPI: device lists, properties, interfaces, class keys and the class
// installer behave as the platform documents them.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/win32.h"
#include "support/device_machine.h"
#include "support/sim_test.h"

namespace {

class SetupApiSimTest : public SimTest {
  protected:
    void SetUp() override {
        SimTest::SetUp();
        sim::Device &attached = plant_device_with_driver(
            machine, "USB\\VID_FFFF&PID_0001\\1", {"USB\\VID_FFFF&PID_0001&REV_0100", "USB\\VID_FFFF&PID_0001"},
            MODEM_CLASS, "0003", DriverKeyPlan{"oem3.inf", "Halvenor", false}, true);
        add_product_interface(attached);
        plant_device_with_driver(machine, "USB\\VID_FFFF&PID_0001\\2", {"USB\\VID_FFFF&PID_0001"},
                                 PORTS_CLASS, "0007", DriverKeyPlan{"oem4.inf", "Halvenor", false});
    }

    // The members of a list, as instance ids read back through the device records.
    int count_members(HDEVINFO set) {
        SP_DEVINFO_DATA d;
        int n = 0;
        for (DWORD i = 0;; ++i) {
            d.cbSize = sizeof d;
            if (!SetupDiEnumDeviceInfo(set, i, &d)) break;
            ++n;
        }
        EXPECT_EQ((DWORD)ERROR_NO_MORE_ITEMS, GetLastError()) << "a list ends with ERROR_NO_MORE_ITEMS";
        return n;
    }

    SP_DEVINFO_DATA member(HDEVINFO set, DWORD index) {
        SP_DEVINFO_DATA d;
        d.cbSize = sizeof d;
        EXPECT_TRUE(SetupDiEnumDeviceInfo(set, index, &d));
        return d;
    }
};

TEST_F(SetupApiSimTest, ClassDevsFlagsSelectTheMembers) {
    HDEVINFO all = SetupDiGetClassDevsA(nullptr, nullptr, nullptr, DIGCF_ALLCLASSES);
    ASSERT_NE(INVALID_HANDLE_VALUE, all);
    EXPECT_EQ(2, count_members(all)) << "without DIGCF_PRESENT attached and detached devices are listed";
    SetupDiDestroyDeviceInfoList(all);

    HDEVINFO present = SetupDiGetClassDevsA(nullptr, nullptr, nullptr, DIGCF_ALLCLASSES | DIGCF_PRESENT);
    EXPECT_EQ(1, count_members(present)) << "DIGCF_PRESENT lists the attached device only";
    SetupDiDestroyDeviceInfoList(present);

    GUID ports = sim::make_guid(PORTS_CLASS);
    HDEVINFO of_class = SetupDiGetClassDevsA(&ports, nullptr, nullptr, 0);
    EXPECT_EQ(1, count_members(of_class)) << "a setup class GUID selects that class";
    SetupDiDestroyDeviceInfoList(of_class);

    GUID product = sim::make_guid(PRODUCT_GUID);
    HDEVINFO with_interface = SetupDiGetClassDevsA(&product, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
    EXPECT_EQ(1, count_members(with_interface)) << "the device exposing the interface class";
    SetupDiDestroyDeviceInfoList(with_interface);

    EXPECT_EQ(INVALID_HANDLE_VALUE, SetupDiGetClassDevsA(nullptr, nullptr, nullptr, DIGCF_PRESENT));
    EXPECT_EQ((DWORD)ERROR_INVALID_PARAMETER, GetLastError()) << "no class needs DIGCF_ALLCLASSES";
}

TEST_F(SetupApiSimTest, ABuildFailureIsReportedAsInvalidHandle) {
    machine.devices.class_devs_fail = true;
    machine.devices.class_devs_error = ERROR_ACCESS_DENIED;
    EXPECT_EQ(INVALID_HANDLE_VALUE, SetupDiGetClassDevsA(nullptr, nullptr, nullptr, DIGCF_ALLCLASSES));
    EXPECT_EQ((DWORD)ERROR_ACCESS_DENIED, GetLastError());
}

TEST_F(SetupApiSimTest, PropertyReadsReportTheSizeTheyNeed) {
    HDEVINFO set = SetupDiGetClassDevsA(nullptr, nullptr, nullptr, DIGCF_ALLCLASSES);
    SP_DEVINFO_DATA d = member(set, 0);
    char small[8];
    DWORD type = 0, needed = 0;
    EXPECT_FALSE(SetupDiGetDeviceRegistryPropertyA(set, &d, SPDRP_HARDWAREID, &type, (PBYTE)small, sizeof small, &needed));
    EXPECT_EQ((DWORD)ERROR_INSUFFICIENT_BUFFER, GetLastError());
    EXPECT_EQ((DWORD)(sizeof "USB\\VID_FFFF&PID_0001&REV_0100" + sizeof "USB\\VID_FFFF&PID_0001" + 1), needed)
        << "both ids with their terminators and the closing one";
    char buffer[256];
    ASSERT_TRUE(SetupDiGetDeviceRegistryPropertyA(set, &d, SPDRP_HARDWAREID, &type, (PBYTE)buffer, sizeof buffer, &needed));
    EXPECT_EQ((DWORD)REG_MULTI_SZ, type);
    EXPECT_STREQ("USB\\VID_FFFF&PID_0001&REV_0100", buffer);
    ASSERT_TRUE(SetupDiGetDeviceRegistryPropertyA(set, &d, SPDRP_DRIVER, &type, (PBYTE)buffer, sizeof buffer, nullptr));
    EXPECT_EQ(std::string(MODEM_CLASS) + "\\0003", buffer);
    EXPECT_FALSE(SetupDiGetDeviceRegistryPropertyA(set, &d, SPDRP_DEVICEDESC, &type, (PBYTE)buffer, sizeof buffer, nullptr));
    EXPECT_EQ((DWORD)ERROR_INVALID_DATA, GetLastError()) << "a property the device lacks";
    d.cbSize = 0;
    EXPECT_FALSE(SetupDiGetDeviceRegistryPropertyA(set, &d, SPDRP_DRIVER, &type, (PBYTE)buffer, sizeof buffer, nullptr));
    EXPECT_EQ((DWORD)ERROR_INVALID_USER_BUFFER, GetLastError()) << "a record without its size";
    SetupDiDestroyDeviceInfoList(set);
}

TEST_F(SetupApiSimTest, ClassKeyIsAnOrdinaryRegistryHandle) {
    GUID modem = sim::make_guid(MODEM_CLASS);
    HKEY key = SetupDiOpenClassRegKeyExA(&modem, KEY_READ, DIOCR_INSTALLER, nullptr, nullptr);
    ASSERT_NE((HKEY)INVALID_HANDLE_VALUE, key);
    EXPECT_EQ(1, process.open_handles) << "the class key counts as an open handle";
    HKEY driver;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(key, "0003", 0, KEY_READ, &driver));
    char text[32];
    DWORD size = sizeof text;
    EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExA(driver, "InfPath", nullptr, nullptr, (LPBYTE)text, &size));
    EXPECT_STREQ("oem3.inf", text);
    RegCloseKey(driver);
    RegCloseKey(key);
    GUID unknown = sim::make_guid("{00000000-0000-0000-0000-000000000001}");
    EXPECT_EQ((HKEY)INVALID_HANDLE_VALUE, SetupDiOpenClassRegKeyExA(&unknown, KEY_READ, DIOCR_INSTALLER, nullptr, nullptr));
    EXPECT_EQ((DWORD)ERROR_INVALID_CLASS, GetLastError());
}

TEST_F(SetupApiSimTest, DisablingNeedsPropertyChangeParameters) {
    GUID product = sim::make_guid(PRODUCT_GUID);
    HDEVINFO set = SetupDiGetClassDevsA(&product, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
    SP_DEVINFO_DATA d = member(set, 0);
    EXPECT_FALSE(SetupDiCallClassInstaller(DIF_PROPERTYCHANGE, set, &d));
    EXPECT_EQ((DWORD)ERROR_NO_CLASSINSTALL_PARAMS, GetLastError());
    SP_PROPCHANGE_PARAMS p;
    std::memset(&p, 0, sizeof p);
    p.ClassInstallHeader.cbSize = sizeof p.ClassInstallHeader;
    p.ClassInstallHeader.InstallFunction = DIF_PROPERTYCHANGE;
    p.StateChange = DICS_DISABLE;
    p.Scope = DICS_FLAG_GLOBAL;
    ASSERT_TRUE(SetupDiSetClassInstallParamsA(set, &d, &p.ClassInstallHeader, sizeof p));
    ASSERT_TRUE(SetupDiCallClassInstaller(DIF_PROPERTYCHANGE, set, &d));
    EXPECT_TRUE(machine.devices.find("USB\\VID_FFFF&PID_0001\\1")->disabled);
    EXPECT_TRUE(machine.registry.has_value("System\\CurrentControlSet\\Enum\\USB\\VID_FFFF&PID_0001\\1", "ConfigFlags"))
        << "a global disable is kept in the device key";
    SetupDiDestroyDeviceInfoList(set);
    HDEVINFO again = SetupDiGetClassDevsA(&product, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
    EXPECT_EQ(0, count_members(again)) << "a disabled device's interfaces are no longer active";
    SetupDiDestroyDeviceInfoList(again);
}

TEST_F(SetupApiSimTest, RemovalDeletesDeviceKeyAndDriverKey) {
    machine.registry.create("System\\CurrentControlSet\\Enum\\USB\\VID_EEEE&PID_0001\\9");
    HDEVINFO set = SetupDiGetClassDevsA(nullptr, nullptr, nullptr, DIGCF_ALLCLASSES);
    SP_DEVINFO_DATA d = member(set, 1);
    machine.devices.devices[1].install_flags_after_call = DI_NEEDREBOOT;
    ASSERT_TRUE(SetupDiCallClassInstaller(DIF_REMOVE, set, &d));
    EXPECT_EQ(nullptr, machine.devices.find("USB\\VID_FFFF&PID_0001\\2"));
    EXPECT_EQ(nullptr, machine.registry.find("System\\CurrentControlSet\\Enum\\USB\\VID_FFFF&PID_0001\\2"));
    EXPECT_EQ(nullptr, machine.registry.find(std::string(sim::CLASS_ROOT) + "\\" + PORTS_CLASS + "\\0007"))
        << "the platform deletes the device's software key as well";
    EXPECT_NE(nullptr, machine.registry.find("System\\CurrentControlSet\\Enum\\USB\\VID_FFFF&PID_0001\\1"));
    SP_DEVINSTALL_PARAMS_A params;
    params.cbSize = sizeof params;
    ASSERT_TRUE(SetupDiGetDeviceInstallParamsA(set, &d, &params));
    EXPECT_EQ((DWORD)DI_NEEDREBOOT, params.Flags & (DI_NEEDREBOOT | DI_NEEDRESTART));
    EXPECT_EQ(2, count_members(set)) << "the removed element stays in the list";
    EXPECT_FALSE(SetupDiCallClassInstaller(DIF_REMOVE, set, &d));
    EXPECT_EQ((DWORD)ERROR_NO_SUCH_DEVINST, GetLastError());
    SetupDiDestroyDeviceInfoList(set);

    HDEVINFO after = SetupDiGetClassDevsA(nullptr, nullptr, nullptr, DIGCF_ALLCLASSES);
    EXPECT_EQ(1, count_members(after));
    SP_DEVINFO_DATA first = member(after, 0);
    ASSERT_TRUE(SetupDiCallClassInstaller(DIF_REMOVE, after, &first));
    EXPECT_EQ(nullptr, machine.registry.find("System\\CurrentControlSet\\Enum\\USB\\VID_FFFF&PID_0001"))
        << "a device key left empty goes with its last instance";
    EXPECT_NE(nullptr, machine.registry.find("System\\CurrentControlSet\\Enum\\USB\\VID_EEEE&PID_0001\\9"));
    SetupDiDestroyDeviceInfoList(after);
}

TEST_F(SetupApiSimTest, DevicesAreReadBackFromTheEnumKey) {
    sim::Machine other;
    other.registry.set_value("System\\CurrentControlSet\\Enum\\USB\\VID_FFFF&PID_0002\\7", "HardwareID",
                             REG_MULTI_SZ, {'a', 0, 'b', 0, 0});
    other.registry.set_string("System\\CurrentControlSet\\Enum\\USB\\VID_FFFF&PID_0002\\7", "Driver",
                              std::string(MODEM_CLASS) + "\\0001");
    EXPECT_EQ(1, sim::load_devices_from_enum(other));
    EXPECT_EQ(0, sim::load_devices_from_enum(other)) << "a device already in the tree is not added twice";
    sim::Device *d = other.devices.find("usb\\vid_ffff&pid_0002\\7");
    ASSERT_NE(nullptr, d);
    EXPECT_EQ((std::vector<std::string>{"a", "b"}), d->hardware_ids);
    EXPECT_EQ(std::string(MODEM_CLASS) + "\\0001", d->driver_key);
    EXPECT_FALSE(d->present);
}

// As the end-to-end case nt_devices finds Wine answering.
TEST_F(SetupApiSimTest, InstancesAreReopenedByIdIntoAnEmptySet) {
    HDEVINFO set = SetupDiCreateDeviceInfoList(nullptr, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, set);
    struct {
        const char *id;
        BOOL opened;
        DWORD error;
    } const cases[] = {{"USB\\VID_FFFF&PID_0001\\2", TRUE, ERROR_SUCCESS},
                       {"usb\\vid_ffff&pid_0001\\2", TRUE, ERROR_SUCCESS},
                       {"USB\\VID_FFFF&PID_0001\\9", FALSE, ERROR_NO_SUCH_DEVINST}};
    for (const auto &c : cases) {
        SP_DEVINFO_DATA d;
        d.cbSize = sizeof d;
        EXPECT_EQ(c.opened, SetupDiOpenDeviceInfoA(set, c.id, nullptr, 0, &d)) << c.id;
        EXPECT_EQ(c.error, GetLastError()) << c.id;
    }
    EXPECT_EQ(1, count_members(set)) << "an instance opened twice is one member, not attached or not";
    SetupDiDestroyDeviceInfoList(set);
}

}  // namespace
