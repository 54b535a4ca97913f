#include "package/PlaylistStore.h"

#include "common/Trace.h"
#include "package/Settings.h"
#include "platform/Registry.h"

namespace pkg {

namespace {

std::string ItemName(std::size_t index) { return "item" + std::to_string(index); }

// Calls take(index, key, value name) for each stored entry in order, until the first missing index.
template <typename Take>
void ForEachStored(const std::string& keyPath, Take&& take) {
    const auto key = plat::RegistryKey::Open(keyPath, true);
    if (!key) {
        return;
    }
    for (std::size_t n = 0; key->ValueExists(ItemName(n)); ++n) {
        take(n, *key, ItemName(n));
    }
}

}  // namespace

std::string PlaylistKey(const std::string& saverName) { return SettingsKey(saverName) + "\\PlayList"; }

void SaveCustomPlayList(const std::vector<std::string>& lines, const std::string& keyPath) {
    const auto key = plat::RegistryKey::Open(keyPath, true);
    if (!key) {
        return;
    }
    for (std::size_t i = 0; i < lines.size(); ++i) {
        key->WriteString(ItemName(i), lines[i]);
    }
    // Readers stop at the first missing index, so entries further on need not be deleted.
    if (key->ValueExists(ItemName(lines.size()))) {
        key->DeleteValue(ItemName(lines.size()));
    }
}

std::vector<std::string> LoadCustomPlayList(const std::string& keyPath) {
    std::vector<std::string> lines;
    ForEachStored(keyPath, [&](std::size_t, const plat::RegistryKey& key, const std::string& name) {
        // A value of another type shows as no line, so the editor opens with what can be read;
        // saving the list then replaces it.
        std::string value;
        try {
            value = key.ReadString(name);
        } catch (const plat::RegistryError&) {
            core::Trace("Playlist value not readable: " + name);
        }
        if (!value.empty()) {
            lines.push_back(std::move(value));
        }
    });
    return lines;
}

std::vector<std::string> LoadCustomPlayListNoWindow(const std::string& keyPath) {
    std::vector<std::string> list;
    ForEachStored(keyPath, [&](std::size_t n, const plat::RegistryKey& key, const std::string& name) {
        list.resize(n + 1);
        list[n] = key.ReadString(name);
    });
    return list;
}

}  // namespace pkg
