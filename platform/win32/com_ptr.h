#pragma once
// Holds one COM reference and gives it back when it goes, so every interface the browser
// host takes is released exactly once.

#include <unknwn.h>

#include <utility>

namespace miravue::platform::win32 {

template <typename T>
class ComPtr {
  public:
    ComPtr() = default;
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ComPtr(ComPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
    ComPtr& operator=(ComPtr&& other) noexcept {
        if (this != &other) {
            Reset();
            p_ = std::exchange(other.p_, nullptr);
        }
        return *this;
    }
    ~ComPtr() { Reset(); }

    T* get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }

    // For the out-parameter of CoCreateInstance / QueryInterface: drops what is held first.
    void** put() {
        Reset();
        return reinterpret_cast<void**>(&p_);
    }

    void Reset() {
        if (p_ != nullptr)
            std::exchange(p_, nullptr)->Release();
    }

  private:
    T* p_ = nullptr;
};

}  // namespace miravue::platform::win32
