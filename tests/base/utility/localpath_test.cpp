#include "base/utility/localpath.h"

#include <gtest/gtest.h>

#include "base/utility/remotepath.h"
#include "platform/strings.h"

TEST(LocalPath, ParentFolderAndFileName) {
    const struct {
        std::wstring path, parent, name;
    } cases[] = {
        {L"/a/b/", L"/a", L"b"},
        {L"/a/b", L"/a", L"b"},
        {L"/a", L"/", L"a"},
        {L"/a/", L"/", L"a"},
        {L"name.txt", L"", L"name.txt"},
        {L"/", L"/", L""},
        {L"/home/u/\u4e2d\u6587.doc", L"/home/u", L"\u4e2d\u6587.doc"},
    };
    for (const auto& c : cases) {
        std::wstring out = L"stale";
        EXPECT_EQ(GetParentFolder(out, c.path), c.parent) << c.path;
        EXPECT_EQ(GetFileNameFromPath(out, c.path), c.name) << c.path;
    }
}

TEST(LocalPath, ExtensionComesFromTheLastElementOnly) {
    const struct {
        std::wstring path, ext;
    } cases[] = {
        {L"/a/b.txt", L".txt"},      {L"b.tar.gz", L".gz"}, {L"/a.d/file", L""}, {L"/a/noext", L""},
        {L"/a/.hidden", L".hidden"}, {L"/a/b.", L"."},      {L"", L""},
    };
    for (const auto& c : cases) {
        std::wstring out = L"stale";
        EXPECT_EQ(GetFileExtension(c.path, out), c.ext) << c.path;
    }
}

TEST(LocalPath, InsideMeansTheFolderOrBelowIt) {
    const struct {
        std::wstring path, folder;
        bool inside;
    } cases[] = {
        {L"/a/b", L"/a/b", true}, {L"/a/b/c", L"/a/b/", true}, {L"/a/bc", L"/a/b", false},
        {L"/a", L"/a/b", false},  {L"/a/B/c", L"/a/b", false}, {L"/x", L"/", true},
        {L"/a", L"", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsLocalPathInside(c.path, c.folder), c.inside) << c.path << " in " << c.folder;
        EXPECT_EQ(IsLocalPathInside(WideToUtf8(c.path), WideToUtf8(c.folder)), c.inside) << c.path;
    }
}

TEST(LocalPath, JoinsPutOneSlashAndNamesFromOutsideCannotLeaveTheFolder) {
    EXPECT_EQ(JoinLocalPath(L"/a", L"b"), L"/a/b");
    EXPECT_EQ(JoinLocalPath(L"/a/", L"b"), L"/a/b");
    EXPECT_EQ(JoinLocalPath(L"/a/", L"//b/c"), L"/a/b/c");
    EXPECT_EQ(JoinLocalPath(L"", L"b"), L"b");
    const std::wstring refused[] = {L"", L".", L"..", L"a/b", L"/etc", std::wstring(L"a\0b", 3), L"../x"};
    for (const auto& name : refused) {
        std::wstring out = L"stale";
        EXPECT_EQ(JoinLocalName(L"/cache", name, out), E_INVALIDARG) << name;
        EXPECT_EQ(out, L"stale");
    }
    const std::wstring accepted[] = {L"..a", L"a..", L"...", L" a ", L"a\\b", L"\u4e2d\u6587", L".tmp"};
    for (const auto& name : accepted) {
        std::wstring out;
        EXPECT_EQ(JoinLocalName(L"/cache", name, out), S_OK) << name;
        EXPECT_EQ(out, L"/cache/" + name);
    }
}

TEST(LocalPath, RemotePathsMapElementByElement) {
    std::wstring out = L"stale";
    EXPECT_EQ(MapRemotePathToLocal(L"/root", L"\\a\\b.txt", out), S_OK);
    EXPECT_EQ(out, L"/root/a/b.txt");
    EXPECT_EQ(MapRemotePathToLocal(L"/root/", L"\\", out), S_OK);
    EXPECT_EQ(out, L"/root/");
    EXPECT_EQ(MapRemotePathToLocal(L"/root", L"\\a\\..\\..\\etc", out), E_INVALIDARG);
    EXPECT_EQ(MapRemotePathToLocal(L"/root", L"\\a/b", out), E_INVALIDARG);
    EXPECT_EQ(out, L"/root/");
}

TEST(RemotePath, BackslashJoinsAndSplits) {
    EXPECT_EQ(JoinRemotePath(L"\\", L"a"), L"\\a");
    EXPECT_EQ(JoinRemotePath(L"\\a", L"b"), L"\\a\\b");
    EXPECT_EQ(JoinRemotePath(L"\\a\\", L"\\b"), L"\\a\\b");
    EXPECT_EQ(GetRemoteFileName(L"\\a\\b.txt"), L"b.txt");
    EXPECT_EQ(GetRemoteFileName(L"\\a\\b\\"), L"b");
    EXPECT_EQ(GetRemoteFileName(L"\\"), L"");
    EXPECT_EQ(GetRemoteFileName(L"/not/a/separator"), L"/not/a/separator");
    EXPECT_EQ(GetRemoteParentFolder(L"\\a\\b"), L"\\a");
    EXPECT_EQ(GetRemoteParentFolder(L"\\a"), L"\\");
    EXPECT_EQ(GetRemoteParentFolder(L"\\"), L"\\");
}
