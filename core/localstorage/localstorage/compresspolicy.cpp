#include "core/localstorage/localstorage/compresspolicy.h"

#include <unzip.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <cwctype>
#include <memory>
#include <set>

#include "base/utility/fileutil.h"
#include "base/utility/localpath.h"
#include "platform/strings.h"

namespace {

constexpr uint64_t kMaxPackedSize = 0x1E00000;        // 30 MiB, still packed
constexpr uint64_t kMaxPackedOfficeSize = 0xA00000;   // 10 MiB
constexpr uint64_t kMaxPackedPdfSize = 0x500000;      // 5 MiB
constexpr uint64_t kMaxPackedProgramSize = 0x300000;  // 3 MiB

const std::set<std::wstring>& MediaAndArchiveExtensions() {
    static const std::set<std::wstring> table = {
        L"ac3",    L"arj",    L"aif",  L"bz2", L"aifc", L"bzip2", L"aiff", L"cab",  L"amr",  L"cpio", L"amv",
        L"deb",    L"ape",    L"dmg",  L"asf", L"fat",  L"au",    L"gz",   L"avi",  L"gzip", L"bik",  L"hfs",
        L"cda",    L"iso",    L"csf",  L"lha", L"cue",  L"lzh",   L"dat",  L"lzma", L"divx", L"ntfs", L"dts",
        L"tar",    L"dtswav", L"taz",  L"evo", L"tbz",  L"f4v",   L"tbz2", L"far",  L"tgz",  L"fla",  L"tpz",
        L"flac",   L"wim",    L"flv",  L"xar", L"hlv",  L"xz",    L"ifo",  L"z",    L"it",   L"jar",  L"ivm",
        L"3g2",    L"m1a",    L"3gp",  L"m1v", L"3gp2", L"m2a",   L"3gpp", L"m2p",  L"a52",  L"m2ts", L"aa",
        L"m2v",    L"aac",    L"m4a",  L"m4b", L"rm",   L"m4p",   L"rmi",  L"m4v",  L"rmvb", L"mac",  L"rp",
        L"mid",    L"rpm",    L"midi", L"rt",  L"mka",  L"s3m",   L"mkv",  L"scm",  L"mod",  L"smi",  L"mov",
        L"smil",   L"mp+",    L"snd",  L"mp1", L"stm",  L"mp2",   L"swf",  L"mp2v", L"swm",  L"mp3",  L"tod",
        L"mp3pro", L"tp",     L"mp4",  L"tpr", L"mpa",  L"ts",    L"mpc",  L"tta",  L"mpe",  L"mpeg", L"umx",
        L"mpeg4",  L"vhd",    L"mpg",  L"vob", L"mpv2", L"vp6",   L"mtm",  L"wav",  L"mts",  L"wm",   L"ogg",
        L"wma",    L"ogm",    L"wmp",  L"pmp", L"wmv",  L"pss",   L"wv",   L"pva",  L"xm",   L"qt",   L"ra",
        L"ram",    L"rar",    L"msi"};
    return table;
}

// Office documents and text: packed only while small. The last six are the
// OpenDocument formats, the office suite of this desktop.
const std::set<std::wstring>& OfficeAndTextExtensions() {
    static const std::set<std::wstring> table = {
        L"doc",  L"uof",  L"docx", L"dot", L"dotx", L"rtf", L"xml", L"html", L"mht", L"xls",  L"xlsx",
        L"xlt",  L"xltx", L"csv",  L"dbf", L"txt",  L"prn", L"ppt", L"pptx", L"pps", L"ppsx", L"pot",
        L"potx", L"chm",  L"umd",  L"odt", L"ott",  L"ods", L"ots", L"odp",  L"otp"};
    return table;
}

struct FileCloser {
    void operator()(FILE* file) const { std::fclose(file); }
};

bool Has7zSignature(FILE* file) {
    static const unsigned char kSignature[6] = {0x37, 0x7A, 0xBC, 0xAF, 0x27, 0x1C};
    unsigned char head[sizeof(kSignature)] = {};
    return std::fread(head, 1, sizeof(head), file) == sizeof(head) &&
           std::memcmp(head, kSignature, sizeof(head)) == 0;
}

bool OpensAsZip(const std::string& path) {
    unzFile zip = unzOpen64(path.c_str());
    if (zip == nullptr)
        return false;
    unzClose(zip);
    return true;
}

}  // namespace

HRESULT ShouldCompressFile(const std::wstring& name, const std::wstring& path, bool* pack) {
    uint64_t size = 0;
    HRESULT hr = GetFileSize64(path, size);
    if (FAILED(hr))
        return hr;
    std::wstring extension;
    GetFileExtension(name, extension);
    if (!extension.empty())
        extension.erase(0, 1);
    for (wchar_t& c : extension)
        c = static_cast<wchar_t>(std::towlower(c));

    const std::string localPath = WideToUtf8(path);
    {
        std::unique_ptr<FILE, FileCloser> file(std::fopen(localPath.c_str(), "rb"));
        if (!file)
            return E_FAIL;
        if (Has7zSignature(file.get())) {
            *pack = true;
            return S_OK;
        }
    }
    if (OpensAsZip(localPath)) {
        *pack = true;
        return S_OK;
    }
    if (size > kMaxPackedSize || MediaAndArchiveExtensions().count(extension) != 0)
        *pack = false;
    else if (OfficeAndTextExtensions().count(extension) != 0 && size > kMaxPackedOfficeSize)
        *pack = false;
    else if (extension == L"pdf" && size > kMaxPackedPdfSize)
        *pack = false;
    else if ((extension == L"exe" || extension == L"dll") && size > kMaxPackedProgramSize)
        *pack = false;
    else
        *pack = true;
    return S_OK;
}
