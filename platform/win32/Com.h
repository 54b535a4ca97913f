#pragma once

// Owners of COM interfaces and of the automation types that carry strings and values.

#include <windows.h>
#include <oleauto.h>

#include <memory>
#include <string>
#include <utility>

namespace plat::win32 {

// COM on the calling thread for the owner's lifetime: a single-threaded apartment, or whatever the
// thread already had (a thread already in the multithreaded apartment stays there and is not let
// go of).
class ComApartment {
public:
    ComApartment() : result_(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~ComApartment() {
        if (SUCCEEDED(result_)) {
            ::CoUninitialize();
        }
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    HRESULT result_;
};

// Frees memory the system handed out with CoTaskMemAlloc.
struct TaskMemFreer {
    void operator()(void* p) const { ::CoTaskMemFree(p); }
};
template <typename T>
using TaskMem = std::unique_ptr<T, TaskMemFreer>;

// Holds one reference to an interface and releases it.
template <typename T>
class ComPtr {
public:
    ComPtr() = default;
    // Takes over a reference the caller already holds.
    explicit ComPtr(T* p) : p_(p) {}
    ComPtr(const ComPtr& other) : p_(other.p_) {
        if (p_ != nullptr) {
            p_->AddRef();
        }
    }
    ComPtr(ComPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
    ComPtr& operator=(ComPtr other) noexcept {
        std::swap(p_, other.p_);
        return *this;
    }
    ~ComPtr() { Reset(); }

    void Reset() {
        if (T* p = std::exchange(p_, nullptr)) {
            p->Release();
        }
    }
    T* Get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }
    // For functions that hand out a new reference: releases what was held first.
    T** Put() {
        Reset();
        return &p_;
    }
    void** PutVoid() { return reinterpret_cast<void**>(Put()); }

    // Another interface of the same object; empty when it has none.
    template <typename U>
    ComPtr<U> As(REFIID iid) const {
        ComPtr<U> other;
        if (p_ != nullptr) {
            p_->QueryInterface(iid, other.PutVoid());
        }
        return other;
    }

private:
    T* p_ = nullptr;
};

// An automation string.
class Bstr {
public:
    explicit Bstr(const std::wstring& text) : b_(::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {}
    ~Bstr() { ::SysFreeString(b_); }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    BSTR Get() const { return b_; }

private:
    BSTR b_;
};

// An automation value, cleared (its string or interface freed) on destruction.
class Variant {
public:
    Variant() { ::VariantInit(&v_); }
    ~Variant() { ::VariantClear(&v_); }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;
    VARIANT* Get() { return &v_; }

private:
    VARIANT v_;
};

// What a method that raised an exception tells of it; its strings are freed on destruction.
class ExcepInfo {
public:
    ExcepInfo() = default;
    ~ExcepInfo() {
        ::SysFreeString(e_.bstrSource);
        ::SysFreeString(e_.bstrDescription);
        ::SysFreeString(e_.bstrHelpFile);
    }
    ExcepInfo(const ExcepInfo&) = delete;
    ExcepInfo& operator=(const ExcepInfo&) = delete;
    EXCEPINFO* Get() { return &e_; }
    // The description, filled in first when the method deferred it.
    std::wstring Description() {
        if (e_.pfnDeferredFillIn != nullptr) {
            e_.pfnDeferredFillIn(&e_);
            e_.pfnDeferredFillIn = nullptr;
        }
        return e_.bstrDescription != nullptr ? std::wstring(e_.bstrDescription) : std::wstring();
    }

private:
    EXCEPINFO e_{};
};

}  // namespace plat::win32
