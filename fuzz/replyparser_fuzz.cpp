// Service replies as a hostile service might send them: the parser must
// refuse or read them without a crash, in bounded time and stack, every child
// must read into a RemoteItem, and the sharers it names must survive the
// cache's text form.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/localstorage/localstorage/remoteitem.h"
#include "core/localstorage/localstorage/sharerlist.h"
#include "core/remotestorage/remotestorage/xmlnode.h"
#include "platform/strings.h"

namespace {

bool SameSharers(const std::vector<SharerInfo>& a, const std::vector<SharerInfo>& b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (a[i].nickName != b[i].nickName || a[i].userId != b[i].userId || a[i].email != b[i].email ||
            a[i].rights != b[i].rights) {
            return false;
        }
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::wstring text = Utf8ToWide(std::string(reinterpret_cast<const char*>(data), size));
    XmlNode reply;
    if (FAILED(reply.Parse(text))) {
        if (!reply.children.empty() || !reply.values.empty())
            abort();
        return 0;
    }
    for (const XmlNode& child : reply.children) {
        RemoteItem item;
        FillRemoteItemFromReply(item, child);
        if (item.isFolder != 0 && item.isFolder != 1 && item.isFolder != kSharerFolder)
            abort();
        std::vector<SharerInfo> back;
        ParseSharerList(FormatSharerList(item.sharers), back);
        if (!SameSharers(item.sharers, back))
            abort();
    }
    // What the client writes it reads back the same.
    XmlNode again;
    if (FAILED(again.Parse(reply.ToDocument())) || again.ToXml() != reply.ToXml())
        abort();
    return 0;
}
