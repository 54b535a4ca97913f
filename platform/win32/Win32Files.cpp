#include <windows.h>

#include "platform/Files.h"

namespace plat {

namespace {

HANDLE H(std::intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }

[[noreturn]] void Fail(const std::string& what) {
    throw FileError(what + " (error " + std::to_string(::GetLastError()) + ")");
}

File Open(const std::string& path, DWORD access, DWORD disposition, const char* what) {
    // Others may always read: pieces are taken out while the file is open elsewhere in the program.
    HANDLE h = ::CreateFileA(path.c_str(), access, FILE_SHARE_READ, nullptr, disposition, FILE_ATTRIBUTE_NORMAL,
                             nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        Fail(std::string(what) + " " + path);
    }
    return File::FromHandle(reinterpret_cast<std::intptr_t>(h));
}

}  // namespace

File File::FromHandle(std::intptr_t handle) { return File(handle); }

File File::OpenRead(const std::string& path) { return Open(path, GENERIC_READ, OPEN_EXISTING, "cannot open"); }

File File::Create(const std::string& path) { return Open(path, GENERIC_WRITE, CREATE_ALWAYS, "cannot create"); }

File::File(File&& other) noexcept : handle_(other.handle_) { other.handle_ = -1; }

File& File::operator=(File&& other) noexcept {
    if (this != &other) {
        Close();
        handle_ = other.handle_;
        other.handle_ = -1;
    }
    return *this;
}

File::~File() { Close(); }

bool File::IsOpen() const { return handle_ != -1; }

std::int64_t File::Size() const {
    LARGE_INTEGER size;
    if (!::GetFileSizeEx(H(handle_), &size)) {
        Fail("cannot read the file size");
    }
    return size.QuadPart;
}

void File::Seek(std::int64_t position) {
    LARGE_INTEGER to;
    to.QuadPart = position;
    if (position < 0 || !::SetFilePointerEx(H(handle_), to, nullptr, FILE_BEGIN)) {
        Fail("cannot seek to " + std::to_string(position));
    }
}

std::size_t File::Read(void* buffer, std::size_t count) {
    auto* out = static_cast<char*>(buffer);
    std::size_t done = 0;
    while (done < count) {
        const DWORD want = static_cast<DWORD>(std::min<std::size_t>(count - done, 1u << 30));
        DWORD got = 0;
        if (!::ReadFile(H(handle_), out + done, want, &got, nullptr)) {
            Fail("cannot read");
        }
        if (got == 0) {
            break;
        }
        done += got;
    }
    return done;
}

void File::ReadExact(void* buffer, std::size_t count) {
    if (Read(buffer, count) != count) {
        throw FileError("unexpected end of file");
    }
}

void File::Write(const void* buffer, std::size_t count) {
    const auto* in = static_cast<const char*>(buffer);
    while (count > 0) {
        const DWORD want = static_cast<DWORD>(std::min<std::size_t>(count, 1u << 30));
        DWORD put = 0;
        if (!::WriteFile(H(handle_), in, want, &put, nullptr) || put == 0) {
            Fail("cannot write");
        }
        in += put;
        count -= put;
    }
}

void File::Close() {
    if (handle_ != -1) {
        ::CloseHandle(H(handle_));
        handle_ = -1;
    }
}

bool FileExists(const std::string& path) {
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool DirectoryExists(const std::string& path) {
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool RemoveFile(const std::string& path) { return ::DeleteFileA(path.c_str()) != 0; }

bool CreateFolder(const std::string& path) {
    return ::CreateDirectoryA(path.c_str(), nullptr) != 0 || DirectoryExists(path);
}

char PathDelimiter() { return '\\'; }

}  // namespace plat
