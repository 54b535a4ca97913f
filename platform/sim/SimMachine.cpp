#include <algorithm>
#include <cctype>

#include "platform/sim/Scheduler.h"
#include "platform/sim/Sim.h"
#include "platform/sim/SimSurface.h"
#include "platform/sim/SimWindow.h"

namespace sim {

namespace {
Machine g_machine;
}

Machine& M() { return g_machine; }

void Reset() {
    Scheduler::Get().Reset();
    ResetWindows();
    ReleaseFreedSurfaces();
    g_machine = Machine{};
}

std::uint64_t Now() { return Scheduler::Get().Now(); }

void At(std::uint64_t time, std::function<void()> action) { Scheduler::Get().At(time, std::move(action)); }

void PostMessage(const plat::Message& msg) { Scheduler::Get().Post(msg); }

void SetRunLimit(std::uint64_t time) { Scheduler::Get().SetRunLimit(time); }

void ExploreOrders(std::uint64_t seed) { Scheduler::Get().Explore(seed); }

void SetStepObserver(std::function<void()> observer) { Scheduler::Get().SetStepObserver(std::move(observer)); }

int WorkersInBody() { return Scheduler::Get().WorkersInBody(); }

std::string Registry::Fold(const std::string& s) {
    std::string folded;
    for (char c : s) {
        folded += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    // "\Software\X" and "Software\X\" name the same key.
    while (!folded.empty() && folded.front() == '\\') {
        folded.erase(folded.begin());
    }
    while (!folded.empty() && folded.back() == '\\') {
        folded.pop_back();
    }
    return folded;
}

bool Registry::KeyExists(const std::string& path) const { return keys_.count(Fold(path)) != 0; }

void Registry::CreateKey(const std::string& path) {
    // Parents exist with their children, as on Windows.
    const std::string folded = Fold(path);
    for (std::size_t at = folded.find('\\'); at != std::string::npos; at = folded.find('\\', at + 1)) {
        keys_[folded.substr(0, at)];
    }
    keys_[folded];
}

void Registry::DeleteKey(const std::string& path) {
    const std::string folded = Fold(path);
    std::erase_if(keys_, [&](const auto& kv) {
        return kv.first == folded || kv.first.rfind(folded + "\\", 0) == 0;
    });
}

std::optional<RegValue> Registry::Get(const std::string& path, const std::string& name) const {
    const auto key = keys_.find(Fold(path));
    if (key == keys_.end()) {
        return std::nullopt;
    }
    const std::string folded = Fold(name);
    for (const auto& [n, v] : key->second.values) {
        if (Fold(n) == folded) {
            return v;
        }
    }
    return std::nullopt;
}

void Registry::Set(const std::string& path, const std::string& name, RegValue value) {
    CreateKey(path);
    auto& values = keys_[Fold(path)].values;
    const std::string folded = Fold(name);
    for (auto& [n, v] : values) {
        if (Fold(n) == folded) {
            v = std::move(value);
            return;
        }
    }
    values.emplace_back(name, std::move(value));
}

bool Registry::Delete(const std::string& path, const std::string& name) {
    const auto key = keys_.find(Fold(path));
    if (key == keys_.end()) {
        return false;
    }
    const std::string folded = Fold(name);
    return std::erase_if(key->second.values, [&](const auto& nv) { return Fold(nv.first) == folded; }) != 0;
}

bool Registry::WritesDenied(const std::string& path) const {
    const std::string folded = Fold(path);
    return std::any_of(denied_.begin(), denied_.end(), [&](const std::string& denied) {
        return folded == denied || folded.rfind(denied + "\\", 0) == 0;
    });
}

std::vector<std::string> Registry::ValueNames(const std::string& path) const {
    std::vector<std::string> names;
    const auto key = keys_.find(Fold(path));
    if (key != keys_.end()) {
        for (const auto& nv : key->second.values) {
            names.push_back(nv.first);
        }
    }
    return names;
}

}  // namespace sim
