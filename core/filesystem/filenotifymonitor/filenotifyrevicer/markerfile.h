#pragma once
// The drag-out and copy-out marker file: a profile file named after its kind
// and the tick count of its creation, holding section "Files" with "Count" and
// one record per item under the keys "0", "1", ...: kind|id|parentid|path,
// kind "1" for a folder and "0" for a file, path as the explorer shows it
// (its last "\" element is the item's name).
#include <cstdint>
#include <string>
#include <vector>

#include "core/filesystem/filenotifymonitor/filenotifyrevicer/issuedmarkers.h"
#include "platform/hresult.h"

constexpr wchar_t kDragMarkerPrefix[] = L"_pellux_dragdata_";
constexpr wchar_t kCopyMarkerPrefix[] = L"_pellux_copydata_";
constexpr wchar_t kMarkerKindFile[] = L"0";
constexpr wchar_t kMarkerKindFolder[] = L"1";
// More records than this are never read from one marker.
constexpr int kMaxMarkerRecords = 4096;
// A marker larger than this is not ours.
constexpr uint64_t kMaxMarkerBytes = 64 * 1024;

// Not a marker this process issued, or not a file it may trust (a link, not
// a regular file, not the user's, too large).
constexpr HRESULT E_MARKER_NOT_ISSUED = PELLUX_HR(0x80070005);
// The marker's content is not a marker ("Files" or "Count" missing).
constexpr HRESULT E_MARKER_MALFORMED = PELLUX_HR(0x8007000D);

struct MarkerRecord {
    std::wstring kind;  // kMarkerKindFile or kMarkerKindFolder; others are ignored
    std::wstring itemId;
    std::wstring parentId;
    std::wstring itemPath;
};

// The records of a marker's content; records without exactly four fields are
// skipped. E_MARKER_MALFORMED when "Count" is missing from "Files".
HRESULT ParseMarkerText(const std::string& bytes, std::vector<MarkerRecord>& records);

// The name token of a marker file name: the prefix and the tick digits after
// it ("_pellux_dragdata_123 (copy).ini" gives "_pellux_dragdata_123"), or
// empty when the name holds no marker prefix with digits or does not end in
// ".ini".
std::wstring MarkerTokenFromName(const std::wstring& fileName);

// The digest the registry keeps of a marker's whole content.
std::wstring MarkerDigest(const std::string& bytes);

// Writes a marker (mode 0600) into the folder and registers it as issued.
// E_INVALIDARG for more than kMaxMarkerRecords records, an unknown kind or a
// field holding "|", a line break or NUL; E_FAIL when the file cannot be
// written (then nothing stays registered).
HRESULT WriteMarkerFile(const std::wstring& folder, MarkerKind kind, const std::vector<MarkerRecord>& records,
                        std::wstring& markerPath, CIssuedMarkers& registry = TheIssuedMarkers(),
                        uint32_t lifetimeMs = CIssuedMarkers::kDefaultLifetimeMs);
