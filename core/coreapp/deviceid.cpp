#include "core/coreapp/deviceid.h"

#include <algorithm>

#include "base/crypto/md5.h"
#include "base/utility/formatstring.h"
#include "platform/strings.h"

namespace {

std::string Field(const std::string& text, size_t width) {
    std::string field = text.substr(0, width);
    field.resize(width, ' ');
    return field;
}

bool IsRealAdapter(const AdapterFacts& adapter) {
    if (adapter.loopback || !adapter.hasDevice || adapter.address.size() < 6)
        return false;
    return std::any_of(adapter.address.begin(), adapter.address.begin() + 6,
                       [](uint8_t b) { return b != 0; });
}

std::string MachineText(IMachineProbe& probe, bool noAddresses) {
    std::string text;
    try {
        DiskFacts disk;
        if (probe.FirstFixedDisk(&disk))
            text = MakeDiskText(disk);
        if (!noAddresses)
            text += MakeAddressText(probe.Adapters());
        if (text.empty())
            text = probe.MachineIdText();
        // Still nothing: the name at least tells machines apart.
        if (text.empty())
            text = WideToUtf8(probe.ComputerName());
    } catch (...) {
        // What was collected so far still makes a digest.
    }
    return text;
}

}  // namespace

std::string MakeDiskText(const DiskFacts& disk) {
    return Field(disk.model, 4) + Field(disk.revision, 4) + Field(disk.serial, 20);
}

std::string MakeAddressText(const std::vector<AdapterFacts>& adapters) {
    std::string text;
    for (const AdapterFacts& adapter : adapters) {
        if (!IsRealAdapter(adapter))
            continue;
        if (!text.empty())
            text += '+';
        const std::vector<uint8_t>& a = adapter.address;
        text += FormatUtf8("%02X-%02X-%02X-%02X-%02X-%02X", a[0], a[1], a[2], a[3], a[4], a[5]);
    }
    return text;
}

std::wstring GetMachineId(IMachineProbe& probe, bool noAddresses) {
    const std::string text = MachineText(probe, noAddresses);
    std::wstring digest;
    Md5HexString(text.data(), text.size(), digest);
    return digest;
}

std::wstring MakeDeviceId(IMachineProbe& probe) {
    std::wstring id = GetMachineId(probe, false) + L"|" + probe.ComputerName();
    id.erase(std::remove(id.begin(), id.end(), L'\''), id.end());
    return L"pellux-" + id;
}

std::wstring MakeDeviceId() {
    return MakeDeviceId(SystemMachineProbe());
}
