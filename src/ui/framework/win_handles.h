// RAII holders for the handles the windows use: each frees its handle with the call that
// belongs to it, once.
#pragma once

#include <utility>

#include "platform/win_types.h"

#include <objbase.h>

template <class H, class Traits>
class CHandleHolder {
public:
    CHandleHolder() = default;
    explicit CHandleHolder(H handle) : m_handle(handle) {}
    ~CHandleHolder() { Reset(); }
    CHandleHolder(const CHandleHolder&) = delete;
    CHandleHolder& operator=(const CHandleHolder&) = delete;
    CHandleHolder(CHandleHolder&& other) noexcept : m_handle(std::exchange(other.m_handle, H())) {}
    CHandleHolder& operator=(CHandleHolder&& other) noexcept
    {
        if (this != &other)
            Reset(std::exchange(other.m_handle, H()));
        return *this;
    }

    H Get() const { return m_handle; }
    operator H() const { return m_handle; }
    explicit operator bool() const { return m_handle != H(); }
    H Release() { return std::exchange(m_handle, H()); }
    void Reset(H handle = H())
    {
        if (m_handle != H())
            Traits::Free(m_handle);
        m_handle = handle;
    }

private:
    H m_handle = H();
};

struct CMenuTraits {
    static void Free(HMENU h) { ::DestroyMenu(h); }
};
struct CFontTraits {
    static void Free(HFONT h) { ::DeleteObject(h); }
};
struct CAccelTraits {
    static void Free(HACCEL h) { ::DestroyAcceleratorTable(h); }
};
struct CLibraryTraits {
    static void Free(HMODULE h) { ::FreeLibrary(h); }
};
struct CIconTraits {
    static void Free(HICON h) { ::DestroyIcon(h); }
};

using CMenuHandle = CHandleHolder<HMENU, CMenuTraits>;
using CFontHandle = CHandleHolder<HFONT, CFontTraits>;
using CAccelHandle = CHandleHolder<HACCEL, CAccelTraits>;
using CLibraryHandle = CHandleHolder<HMODULE, CLibraryTraits>;
// Only for icons the program made or loaded with LR_* copies; shared resource icons
// need no freeing.
using CIconHandle = CHandleHolder<HICON, CIconTraits>;

// COM for the thread, for the lifetime of the object.
class CComInit {
public:
    CComInit() : m_result(::CoInitialize(nullptr)) {}
    ~CComInit()
    {
        if (SUCCEEDED(m_result))
            ::CoUninitialize();
    }
    CComInit(const CComInit&) = delete;
    CComInit& operator=(const CComInit&) = delete;
    HRESULT Result() const { return m_result; }

private:
    HRESULT m_result;
};
