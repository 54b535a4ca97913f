#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>

namespace plat {

class FileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// An open file. Every failure throws FileError. Files opened for reading let other readers in
// and keep writers out; files created for writing replace what was there.
class File {
public:
    static File OpenRead(const std::string& path);
    static File Create(const std::string& path);

    File() = default;
    File(File&& other) noexcept;
    File& operator=(File&& other) noexcept;
    File(const File&) = delete;
    File& operator=(const File&) = delete;
    ~File();

    bool IsOpen() const;
    std::int64_t Size() const;
    void Seek(std::int64_t position);
    // Reads up to count bytes; returns how many were read (0 at the end of the file).
    std::size_t Read(void* buffer, std::size_t count);
    // Reads exactly count bytes or throws.
    void ReadExact(void* buffer, std::size_t count);
    void Write(const void* buffer, std::size_t count);
    void Close();

    // Takes ownership of a handle of the backend.
    static File FromHandle(std::intptr_t handle);

private:
    explicit File(std::intptr_t handle) : handle_(handle) {}
    std::intptr_t handle_ = -1;
};

bool FileExists(const std::string& path);
bool DirectoryExists(const std::string& path);
// Deletes a file; false when it was not there or could not be deleted.
bool RemoveFile(const std::string& path);
// Makes a folder whose parent exists; true when the folder is there afterwards.
bool CreateFolder(const std::string& path);

// The separator of folder names in paths of this platform.
char PathDelimiter();

// A name in a folder, with one separator between them.
std::string JoinPath(const std::string& folder, const std::string& name);

// Replaces target with a copy of source, read and written a piece at a time; a copy that could not
// be made whole is removed, and the FileError thrown on.
void CopyFileReplacing(const std::string& source, const std::string& target);

}  // namespace plat
