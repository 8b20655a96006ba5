// The device id from injected machines and from this one.
#include "core/coreapp/deviceid.h"

#include <gtest/gtest.h>

#include <regex>
#include <set>

#include "platform/strings.h"

namespace pellux_test {
namespace {

struct Machine final : IMachineProbe {
    bool hasDisk = false;
    DiskFacts disk;
    std::vector<AdapterFacts> adapters;
    std::string machineId;
    std::wstring name = L"host";

    bool FirstFixedDisk(DiskFacts* out) override {
        if (hasDisk)
            *out = disk;
        return hasDisk;
    }
    std::vector<AdapterFacts> Adapters() override { return adapters; }
    std::string MachineIdText() override { return machineId; }
    std::wstring ComputerName() override { return name; }
};

TEST(DeviceIdTest, MachineTextsFollowTheDiskAndAdapterLayout) {
    EXPECT_EQ(MakeDiskText({"Samsung SSD", "1B6Q", "S3Z9NB0K123456"}), "Sams1B6QS3Z9NB0K123456      ");
    EXPECT_EQ(MakeDiskText({"WD", "", "X"}), "WD      X                   ");
    // Name, address, loopback, backed by a device.
    const std::vector<AdapterFacts> adapters = {{"eth0", {0x00, 0x1a, 0x2b, 0x3c, 0x4d, 0x5e}, false, true},
                                                {"lo", {0, 0, 0, 0, 0, 0}, true, true},
                                                {"veth1", {2, 2, 2, 2, 2, 2}, false, false},
                                                {"zero", {0, 0, 0, 0, 0, 0}, false, true},
                                                {"wlan0", {0xaa, 0xbb, 0xcc, 0xdd, 0xee, 0xff}, false, true}};
    EXPECT_EQ(MakeAddressText(adapters), "00-1A-2B-3C-4D-5E+AA-BB-CC-DD-EE-FF");
}

// Each id has the outer form, keeps no apostrophe of the computer's name, and
// stays the same on every call.
TEST(DeviceIdTest, MachinesAreToldApartAndEachKeepsItsId) {
    std::vector<Machine> machines(6);
    machines[0].hasDisk = true;
    machines[0].disk = {"Disk", "0001", "SERIAL-A"};
    machines[1].hasDisk = true;
    machines[1].disk = {"Disk", "0001", "SERIAL-B"};
    machines[2].adapters = {{"eth0", {1, 2, 3, 4, 5, 6}, false, true}};
    machines[3].adapters = {{"eth0", {1, 2, 3, 4, 5, 7}, false, true}};
    // No disk and no adapter: the installation's id still tells them apart.
    machines[4].machineId = "0f1e2d3c4b5a69788796a5b4c3d2e1f0";
    machines[5].machineId = "ffeeddccbbaa99887766554433221100";
    machines[5].name = L"Bob's-PC";
    const std::wregex form(L"pellux-[0-9a-f]{32}\\|(host|Bobs-PC)");
    std::set<std::wstring> ids;
    for (Machine& m : machines) {
        const std::wstring id = MakeDeviceId(m);
        EXPECT_TRUE(std::regex_match(id, form)) << WideToUtf8(id);
        EXPECT_EQ(MakeDeviceId(m), id);
        ids.insert(id);
    }
    EXPECT_EQ(ids.size(), machines.size());
    const std::wstring here = MakeDeviceId();
    EXPECT_TRUE(std::regex_match(here, std::wregex(L"pellux-[0-9a-f]{32}\\|.*"))) << WideToUtf8(here);
    EXPECT_EQ(MakeDeviceId(), here);
    for (const AdapterFacts& adapter : SystemMachineProbe().Adapters())
        EXPECT_EQ(adapter.loopback, adapter.name == "lo") << adapter.name;
}

}  // namespace
}  // namespace pellux_test
