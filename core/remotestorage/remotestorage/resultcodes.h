#pragma once
// Result codes of the core's own facility: the service's "result" names, the
// transport and local-file failures, and the rule that tells a final failure
// from one worth another attempt. Success is exactly S_OK.
#include <map>
#include <string>

#include "platform/hresult.h"

// Codes named by the service's "result" texts.
constexpr HRESULT E_RESULT_CLIENT_BAD_PARAMS = PELLUX_HR(0x80041001);
constexpr HRESULT E_RESULT_SERVER_DENY = PELLUX_HR(0x80041002);
constexpr HRESULT E_RESULT_SERVER_BUSY = PELLUX_HR(0x80041003);
constexpr HRESULT E_RESULT_CLIENT_TOO_FREQUENT = PELLUX_HR(0x80041004);
constexpr HRESULT E_RESULT_CLIENT_NO_METHOD = PELLUX_HR(0x80041005);
constexpr HRESULT E_RESULT_ACCOUNT_SERVER_ERROR = PELLUX_HR(0x80041006);
constexpr HRESULT E_RESULT_ACCOUNT_NOT_ACTIVE = PELLUX_HR(0x80041007);
constexpr HRESULT E_RESULT_DATA_OPERATION_FAILED = PELLUX_HR(0x80041008);
constexpr HRESULT E_RESULT_PERMISSION_DENIED = PELLUX_HR(0x80041009);
constexpr HRESULT E_RESULT_SERVER_DENY_READ_ONLY = PELLUX_HR(0x8004100A);
constexpr HRESULT E_RESULT_FAILURE_TO_APPLY_STUB = PELLUX_HR(0x8004100B);
constexpr HRESULT E_RESULT_BAD_STUB = PELLUX_HR(0x8004100C);
constexpr HRESULT E_RESULT_GET_FILE_KEY_FAILED = PELLUX_HR(0x8004100D);
constexpr HRESULT E_RESULT_STORAGE_ERROR = PELLUX_HR(0x8004100E);
constexpr HRESULT E_RESULT_GET_FILE_INFO_FAILED = PELLUX_HR(0x8004100F);
constexpr HRESULT E_RESULT_SERVER_ERROR = PELLUX_HR(0x80041011);
constexpr HRESULT E_RESULT_CLIENT_TOKEN_EXPIRED = PELLUX_HR(0x80041012);
constexpr HRESULT E_RESULT_METHOD_VERSION_NOT_MATCH = PELLUX_HR(0x80041013);
constexpr HRESULT E_RESULT_ACCOUNT_NOT_MATCH = PELLUX_HR(0x80041015);
constexpr HRESULT E_RESULT_CLIENT_NO_LOGIN = PELLUX_HR(0x80041016);
constexpr HRESULT E_RESULT_ERROR_DENY = PELLUX_HR(0x80041017);
constexpr HRESULT E_RESULT_TARGET_EXIST = PELLUX_HR(0x80041018);
constexpr HRESULT E_RESULT_TARGET_NOT_EXIST = PELLUX_HR(0x80041019);
constexpr HRESULT E_RESULT_OVER_SPACE = PELLUX_HR(0x8004101A);
constexpr HRESULT E_RESULT_FILE_VER_CONFLICT = PELLUX_HR(0x8004101B);
constexpr HRESULT E_RESULT_FORBIDDEN = PELLUX_HR(0x8004101C);
constexpr HRESULT E_RESULT_PARENT_NOT_EXIST = PELLUX_HR(0x8004101D);
constexpr HRESULT E_RESULT_EMPTY_FILE = PELLUX_HR(0x80041020);
constexpr HRESULT E_RESULT_FOLDER_NON_EMPTY = PELLUX_HR(0x80041021);
constexpr HRESULT E_RESULT_UPLOAD_ERROR = PELLUX_HR(0x80041022);
constexpr HRESULT E_RESULT_FILE_MISS_IN_AGENT = PELLUX_HR(0x80041023);
constexpr HRESULT E_RESULT_TIMEOUT = PELLUX_HR(0x80041024);
constexpr HRESULT E_RESULT_WSS_ERROR = PELLUX_HR(0x80041025);

// The reply's "result" text is not a known name.
constexpr HRESULT E_RESULT_UNKNOWN = PELLUX_HR(0x80041010);
// The transfer was stopped by the cancel flag or the progress callback.
constexpr HRESULT E_CANCELLED = PELLUX_HR(0x80041014);
// The file of a transfer task cannot be had (source gone, stored file unusable,
// download not put in place).
constexpr HRESULT E_LOCAL_FILE_MISSING = PELLUX_HR(0x8004101F);
constexpr HRESULT E_TRANSPORT_TIMEOUT = PELLUX_HR(0x80044001);
constexpr HRESULT E_TRANSPORT_CONNECT = PELLUX_HR(0x80044002);
constexpr HRESULT E_TRANSPORT_FAILED = PELLUX_HR(0x80044003);
// The downloaded file's SHA-1 differs from the announced one.
constexpr HRESULT E_CHECKSUM_MISMATCH = PELLUX_HR(0x80044004);
constexpr HRESULT E_LOCAL_NOT_FOUND = PELLUX_HR(0x80046001);
// A local file is locked or in use.
constexpr HRESULT E_LOCAL_BUSY = PELLUX_HR(0x80046002);
constexpr HRESULT E_LOCAL_EXISTS = PELLUX_HR(0x80046003);

// Maps the service's "result" text to a code. Built before main and read-only
// afterwards, so any thread may look codes up without a lock.
class ServerErrorTable {
public:
    // E_FAIL for no text at all, the table's code for a known name (compared
    // exactly: "OK" is not "ok"), E_RESULT_UNKNOWN otherwise.
    static HRESULT Lookup(const wchar_t* text);
    // Every (name, code) entry.
    static const std::map<std::wstring, HRESULT>& Entries();
};

// True for a failure worth another attempt: every non-zero code except the
// final ones (cancelled, version conflict, parent or target gone, empty file,
// over space, read-only, local file busy).
bool IsRetryableTaskResult(HRESULT hr);
// True for the four failures of the transfer itself (time-out, connection,
// other transfer failure, checksum): the service was not heard, so another
// try may succeed and a cached answer may stand in.
bool IsTransportFailure(HRESULT hr);
