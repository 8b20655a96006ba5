#include "core/coreapp/syncstatusrecord.h"

#include "platform/strings.h"

namespace {

constexpr size_t kTextFieldBytes = (kStatusTextUnits + 1) * 2;

// Body bytes from a record offset; null when the field does not fit.
template <class Record>
auto FieldAt(Record& record, size_t offset, size_t bytes) -> decltype(&record.body[0]) {
    if (offset < 4 || offset - 4 + bytes > sizeof(record.body))
        return nullptr;
    return record.body + (offset - 4);
}

}  // namespace

void SetStatusText(SyncStatusRecord& record, size_t offset, const std::wstring& text) {
    uint8_t* field = FieldAt(record, offset, kTextFieldBytes);
    if (!field)
        return;
    std::u16string units = WideToUtf16(text);
    if (units.size() > kStatusTextUnits) {
        size_t cut = kStatusTextUnits;
        // A lone high surrogate at the end would make the text invalid.
        if (units[cut - 1] >= 0xD800 && units[cut - 1] <= 0xDBFF)
            --cut;
        units.resize(cut);
    }
    std::memset(field, 0, kTextFieldBytes);
    for (size_t i = 0; i < units.size(); ++i) {
        field[2 * i] = static_cast<uint8_t>(units[i] & 0xFF);
        field[2 * i + 1] = static_cast<uint8_t>(units[i] >> 8);
    }
}

std::wstring GetStatusText(const SyncStatusRecord& record, size_t offset) {
    const uint8_t* field = FieldAt(record, offset, kTextFieldBytes);
    if (!field)
        return std::wstring();
    std::u16string units;
    for (size_t i = 0; i < kStatusTextUnits; ++i) {
        char16_t unit = static_cast<char16_t>(field[2 * i] | (field[2 * i + 1] << 8));
        if (unit == 0)
            break;
        units.push_back(unit);
    }
    return Utf16ToWide(units);
}

void SetStatusUInt(SyncStatusRecord& record, size_t offset, uint32_t value) {
    uint8_t* field = FieldAt(record, offset, 4);
    if (!field)
        return;
    for (int i = 0; i < 4; ++i)
        field[i] = static_cast<uint8_t>(value >> (8 * i));
}

uint32_t GetStatusUInt(const SyncStatusRecord& record, size_t offset) {
    const uint8_t* field = FieldAt(record, offset, 4);
    if (!field)
        return 0;
    return static_cast<uint32_t>(field[0]) | (static_cast<uint32_t>(field[1]) << 8) |
           (static_cast<uint32_t>(field[2]) << 16) | (static_cast<uint32_t>(field[3]) << 24);
}
