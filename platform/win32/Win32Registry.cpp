#include <windows.h>

#include <algorithm>
#include <vector>

#include "platform/Registry.h"

namespace plat {

namespace {

std::string Relative(const std::string& path) {
    std::string p = path;
    while (!p.empty() && p.front() == '\\') {
        p.erase(p.begin());
    }
    return p;
}

class Win32Key final : public RegistryKey {
public:
    explicit Win32Key(HKEY key) : key_(key) {}
    ~Win32Key() override { ::RegCloseKey(key_); }

    bool ValueExists(const std::string& name) const override {
        return ::RegQueryValueExA(key_, name.c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
    }

    RegValueType ValueType(const std::string& name) const override {
        DWORD type = 0;
        if (::RegQueryValueExA(key_, name.c_str(), nullptr, &type, nullptr, nullptr) != ERROR_SUCCESS) {
            return RegValueType::None;
        }
        switch (type) {
            case REG_DWORD: return RegValueType::Integer;
            case REG_SZ:
            case REG_EXPAND_SZ: return RegValueType::String;
            default: return RegValueType::Other;
        }
    }

    std::int32_t ReadInteger(const std::string& name) const override {
        DWORD type = 0;
        DWORD value = 0;
        DWORD size = sizeof value;
        if (::RegQueryValueExA(key_, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) !=
                ERROR_SUCCESS ||
            type != REG_DWORD || size != sizeof value) {
            throw RegistryError("Invalid data type for '" + name + "'");
        }
        return static_cast<std::int32_t>(value);
    }

    // The whole stored value, zero bytes included: a string is what was written, not the text up
    // to its first zero. One terminating zero, when it is stored, is not part of the value.
    std::string ReadString(const std::string& name) const override {
        std::vector<char> buffer;
        for (;;) {
            DWORD type = 0;
            auto size = static_cast<DWORD>(buffer.size());
            const LONG status = ::RegQueryValueExA(key_, name.c_str(), nullptr, &type,
                                                   buffer.empty() ? nullptr : reinterpret_cast<BYTE*>(buffer.data()),
                                                   &size);
            if ((status != ERROR_SUCCESS && status != ERROR_MORE_DATA) || (type != REG_SZ && type != REG_EXPAND_SZ)) {
                throw RegistryError("Invalid data type for '" + name + "'");
            }
            if (status == ERROR_SUCCESS && !buffer.empty() && size <= buffer.size()) {
                buffer.resize(size);
                break;
            }
            // Asked for the size, or the value grew in between: ask again with room for it.
            buffer.assign(std::max<DWORD>(size, 1), '\0');
        }
        if (!buffer.empty() && buffer.back() == '\0') {
            buffer.pop_back();
        }
        return std::string(buffer.begin(), buffer.end());
    }

    void WriteInteger(const std::string& name, std::int32_t value) override {
        const auto v = static_cast<DWORD>(value);
        if (::RegSetValueExA(key_, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&v), sizeof v) !=
            ERROR_SUCCESS) {
            throw RegistryError("Cannot write '" + name + "'");
        }
    }

    void WriteString(const std::string& name, const std::string& value) override {
        if (::RegSetValueExA(key_, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                             static_cast<DWORD>(value.size() + 1)) != ERROR_SUCCESS) {
            throw RegistryError("Cannot write '" + name + "'");
        }
    }

    bool DeleteValue(const std::string& name) override {
        return ::RegDeleteValueA(key_, name.c_str()) == ERROR_SUCCESS;
    }

private:
    HKEY key_;
};

}  // namespace

std::unique_ptr<RegistryKey> RegistryKey::Open(const std::string& path, bool create) {
    const std::string relative = Relative(path);
    HKEY key = nullptr;
    LONG status = create ? ::RegCreateKeyExA(HKEY_CURRENT_USER, relative.c_str(), 0, nullptr, 0,
                                             KEY_READ | KEY_WRITE, nullptr, &key, nullptr)
                         : ::RegOpenKeyExA(HKEY_CURRENT_USER, relative.c_str(), 0, KEY_READ | KEY_WRITE, &key);
    if (status != ERROR_SUCCESS && !create) {
        // Keys such as "Control Panel\Desktop" may be read-only for the user.
        status = ::RegOpenKeyExA(HKEY_CURRENT_USER, relative.c_str(), 0, KEY_READ, &key);
    }
    if (status != ERROR_SUCCESS) {
        return nullptr;
    }
    return std::make_unique<Win32Key>(key);
}

}  // namespace plat
