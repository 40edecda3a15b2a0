#pragma once
// Descriptor work shared by the POSIX file layer and its save steps. Each
// function returns 0 or an errno value unless it says otherwise.

#include <cstdint>
#include <string>
#include <vector>

namespace zentab {

// errno stand-in for a file that does not read back as it was written.
constexpr int kReadBackMismatch = -1;

class Fd {
public:
    explicit Fd(int fd = -1) : fd_(fd) {}
    ~Fd() { reset(); }
    Fd(Fd&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
    Fd& operator=(Fd&& other) noexcept
    {
        if (this != &other) {
            reset(other.fd_);
            other.fd_ = -1;
        }
        return *this;
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }
    void reset(int fd = -1);

private:
    int fd_;
};

// The text of an errno value, or of kReadBackMismatch.
std::string Reason(int error);

// Exactly size bytes from offset 0; a shorter file is kReadBackMismatch.
int ReadAllAt(int fd, std::vector<std::uint8_t>& out, std::size_t size);
// The whole content from offset 0, cut to it, synced, and read back equal.
int WriteSyncVerify(int fd, const std::vector<std::uint8_t>& bytes);
// Extended attributes, POSIX ACLs among them, from one file onto another;
// false (errno set) when any cannot be carried over.
bool CopyAttributes(int from, int to);

// --- Named temporaries, which an interrupted command-line program removes
// (see InstallInterruptCleanup). One at a time is registered.

// Creates "basePathXXXXXX" with mode 0600 and registers it.
int CreateNamedTemporary(const std::string& basePath, Fd& fd, std::string& name);
// Links an unnamed file in under a fresh "basePathXXXXXX" and registers it;
// -1 with errno set on failure.
int LinkUnnamedNamed(int fd, const std::string& basePath, std::string& name);
// Links an unnamed file in under name, never over an existing file; -1
// with errno set on failure.
int LinkUnnamedAs(int fd, const char* name);
// Renames from to to, never over a file that appeared meanwhile.
int RenameNoReplace(const std::string& from, const std::string& to);
// Removes a registered temporary.
void RemoveNamedTemporary(const std::string& name);
// The registered temporary now has a lasting name (or none at all).
void ForgetNamedTemporary();
// While held, interrupts wait; releasing lets a waiting one end the program.
void HoldInterrupts(bool hold);

}  // namespace zentab
