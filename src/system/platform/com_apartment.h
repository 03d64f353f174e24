#pragma once
// A thread's membership of a COM apartment, left when the owner goes.

#include <objbase.h>

namespace koravale {

class ComApartment {
public:
    explicit ComApartment(DWORD model) : joined_(SUCCEEDED(CoInitializeEx(nullptr, model))) {}
    ~ComApartment() {
        // Only a successful CoInitializeEx (S_OK or S_FALSE) is balanced.
        if (joined_) CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

    bool joined() const { return joined_; }

private:
    bool joined_;
};

}  // namespace koravale
