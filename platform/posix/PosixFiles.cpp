#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/Files.h"

namespace plat {

namespace {

[[noreturn]] void Fail(const std::string& what) { throw FileError(what + ": " + std::strerror(errno)); }

int Fd(std::intptr_t handle) { return static_cast<int>(handle); }

}  // namespace

File File::FromHandle(std::intptr_t handle) { return File(handle); }

File File::OpenRead(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        Fail("cannot open " + path);
    }
    return File(fd);
}

File File::Create(const std::string& path) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        Fail("cannot create " + path);
    }
    return File(fd);
}

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

bool File::IsOpen() const { return handle_ >= 0; }

std::int64_t File::Size() const {
    struct stat st {};
    if (::fstat(Fd(handle_), &st) != 0) {
        Fail("cannot read the file size");
    }
    return st.st_size;
}

void File::Seek(std::int64_t position) {
    if (position < 0 || ::lseek(Fd(handle_), static_cast<off_t>(position), SEEK_SET) < 0) {
        Fail("cannot seek to " + std::to_string(position));
    }
}

std::size_t File::Read(void* buffer, std::size_t count) {
    auto* out = static_cast<char*>(buffer);
    std::size_t done = 0;
    while (done < count) {
        const ssize_t n = ::read(Fd(handle_), out + done, count - done);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            Fail("cannot read");
        }
        if (n == 0) {
            break;
        }
        done += static_cast<std::size_t>(n);
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
        const ssize_t n = ::write(Fd(handle_), in, count);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            Fail("cannot write");
        }
        in += n;
        count -= static_cast<std::size_t>(n);
    }
}

void File::Close() {
    if (handle_ >= 0) {
        ::close(Fd(handle_));
        handle_ = -1;
    }
}

bool FileExists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool DirectoryExists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool RemoveFile(const std::string& path) { return ::unlink(path.c_str()) == 0; }

bool CreateFolder(const std::string& path) { return ::mkdir(path.c_str(), 0777) == 0 || DirectoryExists(path); }

char PathDelimiter() { return '/'; }

}  // namespace plat
