// Status record fields at the edges of the body: the last field that fits is
// kept whole, one that would not fit is neither written nor read.
#include <gtest/gtest.h>

#include <cstring>

#include "core/coreapp/syncstatusrecord.h"

namespace pellux_test {
namespace {

TEST(SyncStatusRecordTest, FieldsFitTheBodyExactlyAndTextIsNeverCutInsideAPair) {
    const std::wstring kept(258, L'文');
    struct Case {
        size_t offset;
        bool number, fits;
    };
    const std::vector<Case> cases = {{3, true, false},    {4, true, true},     {1560, true, true},
                                     {1561, true, false}, {3, false, false},   {4, false, true},
                                     {1044, false, true}, {1045, false, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.offset) + (c.number ? " number" : " text"));
        SyncStatusRecord record;
        if (c.number) {
            SetStatusUInt(record, c.offset, 0x81828384u);
            EXPECT_EQ(GetStatusUInt(record, c.offset), c.fits ? 0x81828384u : 0u);
        } else {
            // U+10FFFF is the pair D BFF DFFF, whose first half would end the field.
            SetStatusText(record, c.offset, kept + L"\U0010FFFF");
            EXPECT_EQ(GetStatusText(record, c.offset), c.fits ? kept : L"");
        }
        const SyncStatusRecord untouched;
        EXPECT_EQ(std::memcmp(record.body, untouched.body, sizeof(record.body)) != 0, c.fits);
    }
}

}  // namespace
}  // namespace pellux_test
