// The machine's facts on Linux: udev for the disk, the interface list with
// /sys/class/net for the adapters, /etc/machine-id as the fallback text.
#include <ifaddrs.h>
#include <libudev.h>
#include <linux/if_packet.h>
#include <net/if.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <fstream>
#include <memory>

#include "core/coreapp/deviceid.h"
#include "platform/strings.h"

namespace {

std::string Property(udev_device* device, const char* name) {
    const char* value = udev_device_get_property_value(device, name);
    return value ? value : "";
}

std::string SysAttr(udev_device* device, const char* name) {
    const char* value = udev_device_get_sysattr_value(device, name);
    if (!value)
        return std::string();
    std::string text = value;
    while (!text.empty() && (text.back() == '\n' || text.back() == ' '))
        text.pop_back();
    return text;
}

std::string FirstOf(const std::string& a, const std::string& b) {
    return a.empty() ? b : a;
}

// Reads the disk's identity; false for loop, RAM, mapper and removable disks.
bool ReadDisk(udev_device* device, DiskFacts* out) {
    const char* path = udev_device_get_syspath(device);
    if (!path || std::strstr(path, "/virtual/"))
        return false;
    if (SysAttr(device, "removable") != "0")
        return false;
    DiskFacts disk;
    disk.model = FirstOf(Property(device, "ID_MODEL"), SysAttr(device, "device/model"));
    disk.revision = FirstOf(Property(device, "ID_REVISION"),
                            FirstOf(SysAttr(device, "device/rev"), SysAttr(device, "device/firmware_rev")));
    disk.serial = FirstOf(Property(device, "ID_SERIAL_SHORT"), SysAttr(device, "device/serial"));
    if (disk.model.empty() && disk.serial.empty())
        return false;
    *out = disk;
    return true;
}

class CSystemMachineProbe final : public IMachineProbe {
public:
    bool FirstFixedDisk(DiskFacts* out) override {
        std::unique_ptr<udev, udev* (*)(udev*)> context(udev_new(), udev_unref);
        if (!context)
            return false;
        std::unique_ptr<udev_enumerate, udev_enumerate* (*)(udev_enumerate*)> list(
            udev_enumerate_new(context.get()), udev_enumerate_unref);
        if (!list || udev_enumerate_add_match_subsystem(list.get(), "block") < 0 ||
            udev_enumerate_add_match_property(list.get(), "DEVTYPE", "disk") < 0 ||
            udev_enumerate_scan_devices(list.get()) < 0) {
            return false;
        }
        udev_list_entry* entry = nullptr;
        udev_list_entry_foreach(entry, udev_enumerate_get_list_entry(list.get())) {
            std::unique_ptr<udev_device, udev_device* (*)(udev_device*)> device(
                udev_device_new_from_syspath(context.get(), udev_list_entry_get_name(entry)),
                udev_device_unref);
            if (device && ReadDisk(device.get(), out))
                return true;
        }
        return false;
    }

    std::vector<AdapterFacts> Adapters() override {
        std::vector<AdapterFacts> adapters;
        ifaddrs* list = nullptr;
        if (getifaddrs(&list) != 0)
            return adapters;
        for (ifaddrs* it = list; it; it = it->ifa_next) {
            if (!it->ifa_addr || it->ifa_addr->sa_family != AF_PACKET || !it->ifa_name)
                continue;
            const sockaddr_ll* link = reinterpret_cast<const sockaddr_ll*>(it->ifa_addr);
            AdapterFacts adapter;
            adapter.name = it->ifa_name;
            adapter.address.assign(link->sll_addr, link->sll_addr + std::min<size_t>(link->sll_halen, 8));
            adapter.loopback = (it->ifa_flags & IFF_LOOPBACK) != 0;
            struct stat st;
            adapter.hasDevice = stat(("/sys/class/net/" + adapter.name + "/device").c_str(), &st) == 0;
            adapters.push_back(adapter);
        }
        freeifaddrs(list);
        return adapters;
    }

    std::string MachineIdText() override {
        for (const char* path : {"/etc/machine-id", "/var/lib/dbus/machine-id"}) {
            std::ifstream in(path);
            std::string line;
            if (in && std::getline(in, line) && !line.empty())
                return line;
        }
        return std::string();
    }

    std::wstring ComputerName() override {
        char name[256] = {};
        if (gethostname(name, sizeof(name) - 1) != 0)
            return std::wstring();
        return Utf8ToWide(name);
    }
};

}  // namespace

IMachineProbe& SystemMachineProbe() {
    static CSystemMachineProbe probe;
    return probe;
}
