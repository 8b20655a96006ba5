#pragma once
// The device id every log-in carries: "pellux-" + MD5 of the machine text +
// "|" + computer name, apostrophes removed. The machine text is the first
// fixed disk's identity followed by the adapters' hardware addresses; a
// machine with neither falls back to its machine id, so such machines do not
// all share one id. Computed afresh at every log-in and kept nowhere.
#include <cstdint>
#include <string>
#include <vector>

struct DiskFacts {
    std::string model;
    std::string revision;
    std::string serial;
};

struct AdapterFacts {
    std::string name;
    std::vector<uint8_t> address;
    bool loopback = false;
    // Backed by a device (not a bridge, tunnel or container link).
    bool hasDevice = false;
};

// Where the machine's facts come from; tests inject machines.
class IMachineProbe {
public:
    virtual ~IMachineProbe() = default;
    // The first real non-removable disk; false when there is none.
    virtual bool FirstFixedDisk(DiskFacts* out) = 0;
    // Every network interface in the order the system lists them.
    virtual std::vector<AdapterFacts> Adapters() = 0;
    // The installation's machine id text; empty when unknown.
    virtual std::string MachineIdText() = 0;
    virtual std::wstring ComputerName() = 0;
};

// This machine, through udev, the interface list and /etc/machine-id.
IMachineProbe& SystemMachineProbe();

// First 4 characters of model and revision, then the serial in 20 (space
// padded, as the disk reports its fields).
std::string MakeDiskText(const DiskFacts& disk);
// "%02X-%02X-%02X-%02X-%02X-%02X" per real adapter, joined by '+'; loopback,
// all-zero and device-less interfaces are left out.
std::string MakeAddressText(const std::vector<AdapterFacts>& adapters);
// The 32 lowercase hex digits of the machine text's digest; the addresses
// are left out when noAddresses is set.
std::wstring GetMachineId(IMachineProbe& probe, bool noAddresses);
std::wstring MakeDeviceId(IMachineProbe& probe);
std::wstring MakeDeviceId();
