#include "core/localstorage/localstorage/remoteitem.h"

#include <gtest/gtest.h>

#include "core/remotestorage/remotestorage/xmlnode.h"
#include "tests/core/localstorage/localstorage/localstoragefixture.h"

namespace {

TEST(RemoteItemReply, ParsedListingFillsEveryReplyField) {
    XmlNode reply;
    ASSERT_EQ(reply.Parse(
                  L"<?xml version=\"1.0\" encoding=\"utf-8\"?><xNorle><result>ok</result><list>"
                  L"<item><type>FOLDER</type><name>文档 2024</name><fileId>f1</fileId><parentId>p</parentId>"
                  L"<opVer>12</opVer><shared>2</shared><createdTime>2024-01-02 03:04:05</createdTime>"
                  L"<modTime>2024-02-03 04:05:06</modTime><modifier>李</modifier>"
                  L"<sharer><nickName>Li</nickName><userId>u1</userId><email>li@x</email><right>read,write</"
                  L"right></sharer>"
                  L"<sharer><nickName>Wang</nickName><userId>u2</userId><email>w@x</email><right>read</"
                  L"right></sharer>"
                  L"<other><userId>skip</userId></other>"
                  L"<Sharer><userId>skip</userId></Sharer>"
                  L"</item>"
                  L"<item><type>file</type><name>big.iso</name><size>5368709120</size><sha1>"
                  L"da39a3ee5e6b4b0d3255bfef95601890afd80709</sha1><fileVer>3</fileVer><fileId>f2</fileId>"
                  L"<shared>0</shared></item>"
                  L"</list></xNorle>"),
              S_OK);
    ASSERT_EQ(reply.children.size(), 1u);
    const XmlNode& list = reply.children[0];
    ASSERT_EQ(list.children.size(), 2u);

    RemoteItem folder;
    folder.localPath = L"/kept";
    FillRemoteItemFromReply(folder, list.children[0]);
    ParseSharerNodes(list.children[0], folder.sharers);
    EXPECT_EQ(Fields(folder),
              L"1||0|12|0|/kept|文档 2024|p|f1|2024-01-02 03:04:05|2024-02-03 04:05:06|李|1|"
              L"u1,3,li@x,Li|u2,1,w@x,Wang");

    RemoteItem file;
    FillRemoteItemFromReply(file, list.children[1]);
    EXPECT_EQ(Fields(file), L"0|da39a3ee5e6b4b0d3255bfef95601890afd80709|5368709120|0|3||big.iso||f2||||0|");
}

TEST(RemoteItemReply, TypeSharedAndNumbersFollowTheReplyRules) {
    auto item = [](const wchar_t* key, const wchar_t* value) {
        XmlNode node(L"item");
        node.AddValue(key, value);
        RemoteItem r;
        FillRemoteItemFromReply(r, node);
        return r;
    };
    EXPECT_EQ(item(L"type", L"Folder").isFolder, 1);
    EXPECT_EQ(item(L"type", L"file").isFolder, 0);
    EXPECT_EQ(item(L"shared", L"0").shared, 0);
    EXPECT_EQ(item(L"shared", L"-1").shared, 1);
    EXPECT_EQ(item(L"size", L"2147483648").size, 2147483648LL);
    EXPECT_EQ(item(L"size", L"  42kB").size, 42);
    EXPECT_EQ(item(L"size", L"abc").size, 0);
    EXPECT_EQ(item(L"size", L"99999999999999999999999").size, INT64_MAX);
    EXPECT_EQ(item(L"opVer", L"-7").opVer, -7);
    EXPECT_EQ(item(L"opVer", L"4294967296").opVer, INT32_MAX);
    EXPECT_EQ(ParseReplyInt64(L"-9223372036854775808"), INT64_MIN);
    EXPECT_EQ(ParseReplyInt64(L"9223372036854775806"), INT64_MAX - 1);  // one below the limit is exact
    EXPECT_EQ(ParseReplyInt64(L"-99999999999999999999"), INT64_MIN);
    EXPECT_EQ(ParseReplyInt64(L"+"), 0);
}

TEST(SharerRights, WordsAreFoundCaseSensitively) {
    EXPECT_EQ(ParseSharerRights(L"read"), 1);
    EXPECT_EQ(ParseSharerRights(L"write"), 2);
    EXPECT_EQ(ParseSharerRights(L"read,write"), 3);
    EXPECT_EQ(ParseSharerRights(L"write read"), 3);
    EXPECT_EQ(ParseSharerRights(L"READ"), 0);
    EXPECT_EQ(ParseSharerRights(L""), 0);
}

TEST(SharerDisplay, NickAloneWhenItEqualsTheEmailIgnoringCase) {
    EXPECT_EQ(FormatSharerDisplayName({L"Li", L"1", L"li.box", 1}), L"Li(li.box)");
    EXPECT_EQ(FormatSharerDisplayName({L"Li@X.com", L"1", L"li@x.com", 1}), L"Li@X.com");
    EXPECT_EQ(FormatSharerDisplayName({L"", L"1", L"", 1}), L"");
    EXPECT_EQ(FormatSharerDisplayName({L"", L"1", L"e", 1}), L"(e)");
}

TEST(RemoteItemOrder, NamesSortOrdinallyByUtf16CodeUnits) {
    std::vector<RemoteItem> items(5);
    const wchar_t* names[] = {L"b", L"A", L"a", L"\uFF41", L"\U0001F600"};
    for (int i = 0; i < 5; ++i)
        items[i].name = names[i];
    SortRemoteItemsByName(items);
    std::wstring order;
    for (const auto& item : items)
        order += item.name + L" ";
    EXPECT_EQ(order, L"A a b \U0001F600 \uFF41 ");
}

}  // namespace
