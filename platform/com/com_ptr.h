#pragma once
// An owning reference to a COM interface: AddRef on copy, Release on reset and
// destruction. Adopt() takes a reference the caller already owns (a result of
// QueryInterface or CoCreateInstance); the constructor from a raw pointer adds
// one of its own.

#include <unknwn.h>

#include <utility>

namespace com {

template <class T>
class ComPtr {
public:
    ComPtr() = default;
    ComPtr(T* p) : p_(p) {  // NOLINT: implicit, as interface pointers convert
        if (p_) p_->AddRef();
    }
    ComPtr(const ComPtr& other) : ComPtr(other.p_) {}
    ComPtr(ComPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
    ComPtr& operator=(ComPtr other) noexcept {
        std::swap(p_, other.p_);
        return *this;
    }
    ~ComPtr() { Reset(); }

    static ComPtr Adopt(T* p) {
        ComPtr r;
        r.p_ = p;
        return r;
    }
    void Reset() {
        if (p_) std::exchange(p_, nullptr)->Release();
    }
    // The address to hand to a function that returns a new reference.
    T** Out() {
        Reset();
        return &p_;
    }
    T* Detach() { return std::exchange(p_, nullptr); }
    T* Get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }

    // The interface `iid` of the same object; empty when it has none.
    template <class U>
    ComPtr<U> As(REFIID iid) const {
        ComPtr<U> r;
        if (p_) p_->QueryInterface(iid, reinterpret_cast<void**>(r.Out()));
        return r;
    }

private:
    T* p_ = nullptr;
};

// The object's identity: its IUnknown, as COM defines it.
inline IUnknown* Identity(IUnknown* p) {
    if (!p) return nullptr;
    IUnknown* unknown = nullptr;
    if (FAILED(p->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&unknown)))) return p;
    unknown->Release();  // the object stays alive through `p`
    return unknown;
}

}  // namespace com
