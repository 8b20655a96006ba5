#pragma once
// Ref-counted interfaces in the COM manner, so the core's objects keep their
// shape: interface ids, QueryInterface, AddRef and Release, and a smart pointer.
#include <atomic>
#include <cstdint>
#include <cstring>
#include <utility>

#include "platform/hresult.h"

struct IID {
    uint32_t data1;
    uint16_t data2;
    uint16_t data3;
    uint8_t data4[8];
    bool operator==(const IID& o) const { return std::memcmp(this, &o, sizeof(IID)) == 0; }
    bool operator!=(const IID& o) const { return !(*this == o); }
};
typedef const IID& REFIID;

// Each interface declares its id with PELLUX_INTERFACE_ID inside its body.
#define PELLUX_INTERFACE_ID(d1, d2, d3, b0, b1, b2, b3, b4, b5, b6, b7)        \
    static const IID& Iid() {                                                  \
        static const IID iid = {d1, d2, d3, {b0, b1, b2, b3, b4, b5, b6, b7}}; \
        return iid;                                                            \
    }

struct IUnknown {
    PELLUX_INTERFACE_ID(0x00000000, 0x0000, 0x0000, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46)
    virtual HRESULT QueryInterface(REFIID riid, void** ppv) = 0;
    virtual uint32_t AddRef() = 0;
    virtual uint32_t Release() = 0;

protected:
    virtual ~IUnknown() = default;
};

// Implements the reference count and QueryInterface for an object with one
// custom interface Itf (derived from IUnknown). Objects start with a count of 0;
// makers add the first reference.
template <class Itf>
class CUnknownImpl : public Itf {
public:
    HRESULT QueryInterface(REFIID riid, void** ppv) override {
        if (!ppv)
            return E_POINTER;
        if (riid == IUnknown::Iid() || riid == Itf::Iid()) {
            *ppv = static_cast<Itf*>(this);
            this->AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    uint32_t AddRef() override { return ++m_refs; }
    uint32_t Release() override {
        uint32_t left = --m_refs;
        if (left == 0)
            delete this;
        return left;
    }

protected:
    ~CUnknownImpl() override = default;

private:
    std::atomic<uint32_t> m_refs{0};
};

// Holds one reference; copying adds one, destruction releases it.
template <class T>
class CComPtr {
public:
    CComPtr() = default;
    CComPtr(T* p) : m_p(p) {
        if (m_p)
            m_p->AddRef();
    }
    CComPtr(const CComPtr& o) : CComPtr(o.m_p) {}
    CComPtr(CComPtr&& o) noexcept : m_p(o.m_p) { o.m_p = nullptr; }
    ~CComPtr() { Release(); }
    CComPtr& operator=(const CComPtr& o) {
        CComPtr(o).Swap(*this);
        return *this;
    }
    CComPtr& operator=(CComPtr&& o) noexcept {
        CComPtr(std::move(o)).Swap(*this);
        return *this;
    }
    CComPtr& operator=(T* p) {
        CComPtr(p).Swap(*this);
        return *this;
    }

    void Release() {
        T* p = m_p;
        m_p = nullptr;
        if (p)
            p->Release();
    }
    // Takes over a reference already added (as out parameters hand them back).
    void Attach(T* p) {
        Release();
        m_p = p;
    }
    T* Detach() {
        T* p = m_p;
        m_p = nullptr;
        return p;
    }
    T** operator&() {
        Release();
        return &m_p;
    }
    T* operator->() const { return m_p; }
    T* get() const { return m_p; }
    operator T*() const { return m_p; }
    explicit operator bool() const { return m_p != nullptr; }

    template <class Q>
    HRESULT QueryInterface(Q** pp) const {
        if (!m_p)
            return E_POINTER;
        return m_p->QueryInterface(Q::Iid(), reinterpret_cast<void**>(pp));
    }

private:
    void Swap(CComPtr& o) { std::swap(m_p, o.m_p); }
    T* m_p = nullptr;
};
