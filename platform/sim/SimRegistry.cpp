#include "platform/Registry.h"
#include "platform/sim/Sim.h"

namespace plat {

namespace {

class SimKey final : public RegistryKey {
public:
    explicit SimKey(std::string path) : path_(std::move(path)) {}

    bool ValueExists(const std::string& name) const override { return Reg().Get(path_, name).has_value(); }

    RegValueType ValueType(const std::string& name) const override {
        const auto v = Reg().Get(path_, name);
        if (!v) {
            return RegValueType::None;
        }
        switch (v->type) {
            case sim::RegValue::Type::Integer: return RegValueType::Integer;
            case sim::RegValue::Type::String: return RegValueType::String;
            case sim::RegValue::Type::Binary: break;
        }
        return RegValueType::Other;
    }

    std::int32_t ReadInteger(const std::string& name) const override {
        return Typed(name, sim::RegValue::Type::Integer).integer;
    }

    std::string ReadString(const std::string& name) const override {
        return Typed(name, sim::RegValue::Type::String).text;
    }

    void WriteInteger(const std::string& name, std::int32_t value) override {
        CheckWritable(name);
        Reg().SetInteger(path_, name, value);
    }

    void WriteString(const std::string& name, const std::string& value) override {
        CheckWritable(name);
        Reg().SetString(path_, name, value);
    }

    bool DeleteValue(const std::string& name) override { return Reg().Delete(path_, name); }

private:
    static sim::Registry& Reg() { return sim::M().registry; }

    void CheckWritable(const std::string& name) const {
        if (Reg().WritesDenied(path_)) {
            throw RegistryError("Cannot write '" + name + "'");
        }
    }

    sim::RegValue Typed(const std::string& name, sim::RegValue::Type type) const {
        const auto v = Reg().Get(path_, name);
        if (!v || v->type != type) {
            throw RegistryError("Invalid data type for '" + name + "'");
        }
        return *v;
    }

    std::string path_;
};

}  // namespace

std::unique_ptr<RegistryKey> RegistryKey::Open(const std::string& path, bool create) {
    if (!sim::M().registry.KeyExists(path)) {
        if (!create || sim::M().registry.WritesDenied(path)) {
            return nullptr;
        }
        sim::M().registry.CreateKey(path);
    }
    return std::make_unique<SimKey>(path);
}

}  // namespace plat
