#pragma once

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>

namespace plat {

// Reading a value that is missing or of another type than asked for throws this.
class RegistryError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum class RegValueType { None, Integer, String, Other };

// A key under the current user's hive, such as "\Software\Vendor\Name". Closed on destruction.
class RegistryKey {
public:
    // Opens the key; creates it (and its parents) when create is set. Returns null when it cannot.
    static std::unique_ptr<RegistryKey> Open(const std::string& path, bool create);

    virtual ~RegistryKey() = default;

    virtual bool ValueExists(const std::string& name) const = 0;
    virtual RegValueType ValueType(const std::string& name) const = 0;
    virtual std::int32_t ReadInteger(const std::string& name) const = 0;
    virtual std::string ReadString(const std::string& name) const = 0;
    virtual void WriteInteger(const std::string& name, std::int32_t value) = 0;
    virtual void WriteString(const std::string& name, const std::string& value) = 0;
    virtual bool DeleteValue(const std::string& name) = 0;

    // Booleans are integers: written as 0 or 1, any value other than 0 reads as true.
    bool ReadBool(const std::string& name) const { return ReadInteger(name) != 0; }
    void WriteBool(const std::string& name, bool value) { WriteInteger(name, value ? 1 : 0); }
};

}  // namespace plat
