#pragma once
// One owner for every platform handle: a move-only wrapper whose traits say
// what "no handle" looks like and how the handle is given back.

#include <windows.h>

#include <utility>

namespace koravale {

template <typename Traits>
class UniqueHandle {
public:
    using pointer = typename Traits::pointer;

    UniqueHandle() = default;
    explicit UniqueHandle(pointer value) : value_(value) {}
    UniqueHandle(UniqueHandle&& other) noexcept : value_(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    ~UniqueHandle() { reset(); }

    pointer get() const { return value_; }
    explicit operator bool() const { return value_ != Traits::invalid(); }

    pointer release() { return std::exchange(value_, Traits::invalid()); }
    void reset(pointer value = Traits::invalid()) {
        const pointer old = std::exchange(value_, value);
        if (old != Traits::invalid()) Traits::close(old);
    }
    // For calls that hand a new handle out through a pointer.
    pointer* put() {
        reset();
        return &value_;
    }

private:
    pointer value_ = Traits::invalid();
};

struct KernelHandleTraits {  // processes, threads, events: null when absent
    using pointer = HANDLE;
    static pointer invalid() { return nullptr; }
    static void close(pointer handle) { CloseHandle(handle); }
};

struct FileHandleTraits {  // CreateFileW reports failure as INVALID_HANDLE_VALUE
    using pointer = HANDLE;
    static pointer invalid() { return INVALID_HANDLE_VALUE; }
    static void close(pointer handle) { CloseHandle(handle); }
};

struct FindHandleTraits {  // FindFirstFileExW searches
    using pointer = HANDLE;
    static pointer invalid() { return INVALID_HANDLE_VALUE; }
    static void close(pointer handle) { FindClose(handle); }
};

struct CoTaskStringTraits {  // texts the shell allocates for us
    using pointer = wchar_t*;
    static pointer invalid() { return nullptr; }
    static void close(pointer text) { CoTaskMemFree(text); }
};

struct ModuleTraits {
    using pointer = HMODULE;
    static pointer invalid() { return nullptr; }
    static void close(pointer module) { FreeLibrary(module); }
};

struct RegistryKeyTraits {
    using pointer = HKEY;
    static pointer invalid() { return nullptr; }
    static void close(pointer key) { RegCloseKey(key); }
};

struct LocalMemoryTraits {  // buffers FormatMessageW allocates for us
    using pointer = wchar_t*;
    static pointer invalid() { return nullptr; }
    static void close(pointer text) { LocalFree(text); }
};

struct SecurityDescriptorTraits {  // descriptors the SDDL conversion allocates for us
    using pointer = PSECURITY_DESCRIPTOR;
    static pointer invalid() { return nullptr; }
    static void close(pointer descriptor) { LocalFree(descriptor); }
};

struct BstrTraits {  // texts COM error information hands out
    using pointer = BSTR;
    static pointer invalid() { return nullptr; }
    static void close(pointer text) { SysFreeString(text); }
};

template <typename Object>
struct GdiObjectTraits {  // fonts and brushes
    using pointer = Object;
    static pointer invalid() { return nullptr; }
    static void close(pointer object) { DeleteObject(object); }
};

struct IconTraits {  // icons LoadImageW made for us alone (no LR_SHARED)
    using pointer = HICON;
    static pointer invalid() { return nullptr; }
    static void close(pointer icon) { DestroyIcon(icon); }
};

using UniqueKernelHandle = UniqueHandle<KernelHandleTraits>;
using UniqueFileHandle = UniqueHandle<FileHandleTraits>;
using UniqueFindHandle = UniqueHandle<FindHandleTraits>;
using UniqueCoTaskString = UniqueHandle<CoTaskStringTraits>;
using UniqueModule = UniqueHandle<ModuleTraits>;
using UniqueRegistryKey = UniqueHandle<RegistryKeyTraits>;
using UniqueLocalText = UniqueHandle<LocalMemoryTraits>;
using UniqueSecurityDescriptor = UniqueHandle<SecurityDescriptorTraits>;
using UniqueBstr = UniqueHandle<BstrTraits>;
using UniqueFont = UniqueHandle<GdiObjectTraits<HFONT>>;
using UniqueBrush = UniqueHandle<GdiObjectTraits<HBRUSH>>;
using UniqueIcon = UniqueHandle<IconTraits>;

// The two handles CreateProcessW hands out, owned together; the thread's
// is given back first. Fill `info` through the call, then keep or drop both.
class UniqueProcessInformation {
public:
    UniqueProcessInformation() = default;
    UniqueProcessInformation(UniqueProcessInformation&&) noexcept = default;
    UniqueProcessInformation& operator=(UniqueProcessInformation&& other) noexcept {
        if (this != &other) {
            reset();
            info_ = std::exchange(other.info_, PROCESS_INFORMATION{});
        }
        return *this;
    }
    UniqueProcessInformation(const UniqueProcessInformation&) = delete;
    UniqueProcessInformation& operator=(const UniqueProcessInformation&) = delete;
    ~UniqueProcessInformation() { reset(); }

    PROCESS_INFORMATION* put() {
        reset();
        return &info_;
    }
    HANDLE process() const { return info_.hProcess; }
    HANDLE thread() const { return info_.hThread; }
    DWORD process_id() const { return info_.dwProcessId; }

private:
    void reset() {
        if (info_.hThread) CloseHandle(info_.hThread);
        if (info_.hProcess) CloseHandle(info_.hProcess);
        info_ = PROCESS_INFORMATION{};
    }
    PROCESS_INFORMATION info_{};
};

}  // namespace koravale
