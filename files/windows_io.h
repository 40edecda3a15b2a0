#pragma once
// Handle work shared by the Windows file layer and its save steps. Each
// function returns 0 or a system error code unless it says otherwise.

#include <windows.h>

#include <cstdint>
#include <filesystem>
#include <vector>

namespace zentab {

class Handle {
public:
    explicit Handle(HANDLE handle = INVALID_HANDLE_VALUE) : handle_(handle) {}
    ~Handle() { reset(); }
    Handle(Handle&& other) noexcept : handle_(other.handle_) { other.handle_ = INVALID_HANDLE_VALUE; }
    Handle& operator=(Handle&& other) noexcept
    {
        if (this != &other) {
            reset(other.handle_);
            other.handle_ = INVALID_HANDLE_VALUE;
        }
        return *this;
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    HANDLE get() const { return handle_; }
    bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
    void reset(HANDLE handle = INVALID_HANDLE_VALUE)
    {
        if (valid())
            ::CloseHandle(handle_);
        handle_ = handle;
    }

private:
    HANDLE handle_;
};

// Names that reach a device rather than a file: the \\.\ namespace, the
// \\?\ one before anything but a drive or a share, and the reserved DOS
// names, which stay devices in any folder and with any extension.
bool IsDeviceName(const std::filesystem::path& path);

std::filesystem::path FolderOf(const std::filesystem::path& file);

// What a handle opens: only a file on a disk is a module file.
enum class Kind { kFile, kFolder, kOther };
Kind KindOf(HANDLE handle, BY_HANDLE_FILE_INFORMATION& info);

DWORD WriteAll(HANDLE handle, const std::uint8_t* data, std::size_t size);
// The whole file from offset 0.
DWORD ReadAll(HANDLE handle, std::vector<std::uint8_t>& out);
// Writes the whole content from offset 0, cuts the file to it, flushes it
// to the disk, and checks what the file now reads back.
DWORD WriteFlushVerify(HANDLE handle, const std::vector<std::uint8_t>& bytes);
// Marks a file to be removed when its last handle closes, or no longer.
bool SetDeletePending(HANDLE handle, bool pending);

}  // namespace zentab
