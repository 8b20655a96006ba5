#pragma once
// Result codes in the COM manner: negative is a failure, 0 is success.
#include <cstdint>

typedef int32_t HRESULT;
typedef uint32_t DWORD;
typedef uint16_t WORD;
typedef int BOOL;

#define PELLUX_HR(x) static_cast<HRESULT>(static_cast<uint32_t>(x))

constexpr HRESULT S_OK = 0;
constexpr HRESULT S_FALSE = 1;
constexpr HRESULT E_NOTIMPL = PELLUX_HR(0x80004001);
constexpr HRESULT E_NOINTERFACE = PELLUX_HR(0x80004002);
constexpr HRESULT E_POINTER = PELLUX_HR(0x80004003);
constexpr HRESULT E_ABORT = PELLUX_HR(0x80004004);
constexpr HRESULT E_FAIL = PELLUX_HR(0x80004005);
constexpr HRESULT E_OUTOFMEMORY = PELLUX_HR(0x8007000E);
constexpr HRESULT E_INVALIDARG = PELLUX_HR(0x80070057);

inline constexpr bool SUCCEEDED(HRESULT hr) {
    return hr >= 0;
}
inline constexpr bool FAILED(HRESULT hr) {
    return hr < 0;
}
