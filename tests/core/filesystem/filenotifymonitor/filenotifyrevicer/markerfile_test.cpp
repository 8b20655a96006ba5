#include "core/filesystem/filenotifymonitor/filenotifyrevicer/markerfile.h"

#include <gtest/gtest.h>

#include "platform/strings.h"

namespace {

std::string Text(const std::vector<MarkerRecord>& records) {
    std::string out;
    for (const auto& r : records)
        out += WideToUtf8(r.kind + L"," + r.itemId + L"," + r.parentId + L"," + r.itemPath) + ";";
    return out;
}

}  // namespace

TEST(MarkerFile, ParserReadsRecordsAndSkipsBrokenOnes) {
    struct Case {
        const char* what;
        std::string text;
        HRESULT hr;
        std::string records;
    };
    std::string many = "[Files]\nCount=999999\n";
    for (int i = 0; i < kMaxMarkerRecords + 5; ++i)
        many += std::to_string(i) + "=0|i|p|\\n\n";
    const std::vector<Case> cases = {
        {"empty", "", E_MARKER_MALFORMED, ""},
        {"no Count", "[Files]\n0=0|a|b|\\x\n", E_MARKER_MALFORMED, ""},
        {"other section", "[Other]\nCount=1\n0=0|a|b|\\x\n", E_MARKER_MALFORMED, ""},
        {"Count 0", "[Files]\nCount=0\n", S_OK, ""},
        {"negative Count", "[Files]\nCount=-3\n0=0|a|b|\\x\n", S_OK, ""},
        {"two records, keys in any case and order",
         "\xEF\xBB\xBF[files]\r\n1=0|f|p|\\A\\b.txt\r\ncount=2\r\n0=1|d|p|\\A\\Work\r\n", S_OK,
         "1,d,p,\\A\\Work;0,f,p,\\A\\b.txt;"},
        {"three or five fields are skipped, the rest still read",
         "[Files]\nCount=4\n0=0|a|b\n1=0|a|b|\\c|d\n2=0|x|y|\\z\n3=0|a|b|\n", S_OK, "0,x,y,\\z;"},
        {"unknown kind is kept for the caller", "[Files]\nCount=1\n0=7|a|b|\\c\n", S_OK, "7,a,b,\\c;"},
        {"records beyond Count are not read", "[Files]\nCount=1\n0=0|a|b|\\c\n1=0|d|e|\\f\n", S_OK,
         "0,a,b,\\c;"},
        {"quoted values keep their blanks", "[Files]\nCount=1\n0=\"0|a|b|\\c \"\n", S_OK, "0,a,b,\\c ;"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<MarkerRecord> records;
        EXPECT_EQ(ParseMarkerText(c.text, records), c.hr);
        EXPECT_EQ(Text(records), c.records);
    }
    std::vector<MarkerRecord> records;
    EXPECT_EQ(ParseMarkerText(many, records), S_OK);
    EXPECT_EQ(records.size(), static_cast<size_t>(kMaxMarkerRecords));
}

TEST(MarkerFile, NameTokenIsThePrefixAndItsDigits) {
    const std::vector<std::pair<std::wstring, std::wstring>> cases = {
        {L"_pellux_dragdata_123.ini", L"_pellux_dragdata_123"},
        {L"_pellux_copydata_42 (copy).ini", L"_pellux_copydata_42"},
        {L"x_pellux_dragdata_7.ini", L"_pellux_dragdata_7"},
        {L"_pellux_dragdata_7.ini.part", L""},
        {L"_pellux_dragdata_.ini", L""},
        {L"_PELLUX_DRAGDATA_1.ini", L""},
        {L"notes.ini", L""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(WideToUtf8(c.first));
        EXPECT_EQ(MarkerTokenFromName(c.first), c.second);
    }
}
