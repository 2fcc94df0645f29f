#include "tomedb/dataproc/Registry.h"

#include <strings.h>
#include <mutex>

#include "tomedb/dataproc/CompAlgoZlib.h"
#include "tomedb/dataproc/EncAlgos.h"

namespace tomedb {

namespace {

template <class Algo>
struct TRegistry {
    std::vector<TAlgoClassEntry<Algo>> entries;
    bool initialised = false;

    int IndexOf(const std::string& name) const {
        for (size_t i = 0; i < entries.size(); ++i)
            if (strcasecmp(entries[i].Name.c_str(), name.c_str()) == 0)
                return static_cast<int>(i);
        return -1;
    }
    // A class already listed takes the new name; otherwise the pair is appended.
    void Register(TAlgoClassEntry<Algo> entry) {
        for (auto& e : entries)
            if (e.Class == entry.Class) {
                e.Name = entry.Name;
                e.Create = entry.Create;
                return;
            }
        entries.push_back(std::move(entry));
    }
};

std::recursive_mutex& Lock() {
    static std::recursive_mutex m;
    return m;
}
TRegistry<TCompressAlgo>& Compressors() {
    static TRegistry<TCompressAlgo> r;
    return r;
}
TRegistry<TEncryptAlgo>& Encryptors() {
    static TRegistry<TEncryptAlgo> r;
    return r;
}

void RegisterBuiltIns() {
    Compressors().initialised = true;
    Encryptors().initialised = true;
    RegisterCompressAlgo<TCompAlgo_Zlib>("ZLIB");
    RegisterEncryptAlgo<TEncAlgo_Blowfish>("Blowfish");
    RegisterEncryptAlgo<TEncAlgo_Twofish>("Twofish");
    RegisterEncryptAlgo<TEncAlgo_Gost>("Gost");
}

void EnsureInitialised() {
    if (!Compressors().initialised)
        RegisterBuiltIns();
}

template <class Algo>
TAlgoClassEntry<Algo> EntryAt(const TRegistry<Algo>& r, int index) {
    if (index < 0 || static_cast<size_t>(index) >= r.entries.size())
        throw EDatabaseError("General error");
    return r.entries[static_cast<size_t>(index)];
}

template <class Algo>
std::vector<std::string> NamesOf(const TRegistry<Algo>& r) {
    std::vector<std::string> names;
    for (const auto& e : r.entries)
        names.push_back(e.Name);
    return names;
}

}  // namespace

void InitDataProcessRegistries() {
    std::lock_guard g(Lock());
    EnsureInitialised();
}

void FreeDataProcessRegistries() {
    std::lock_guard g(Lock());
    Compressors() = {};
    Encryptors() = {};
}

void RegisterCompressAlgo(const std::string& Name, std::type_index Class,
                          std::function<std::unique_ptr<TCompressAlgo>(TTomeDBFileIO*)> Create) {
    std::lock_guard g(Lock());
    EnsureInitialised();
    Compressors().Register({Name, Class, std::move(Create)});
}

void RegisterEncryptAlgo(const std::string& Name, std::type_index Class,
                         std::function<std::unique_ptr<TEncryptAlgo>(TTomeDBFileIO*)> Create) {
    std::lock_guard g(Lock());
    EnsureInitialised();
    Encryptors().Register({Name, Class, std::move(Create)});
}

int FindCompressAlgo(const std::string& Name) {
    std::lock_guard g(Lock());
    EnsureInitialised();
    return Compressors().IndexOf(Name);
}

int FindEncryptAlgo(const std::string& Name) {
    std::lock_guard g(Lock());
    EnsureInitialised();
    return Encryptors().IndexOf(Name);
}

TCompressAlgoEntry CompressAlgoAt(int Index) {
    std::lock_guard g(Lock());
    EnsureInitialised();
    return EntryAt(Compressors(), Index);
}

TEncryptAlgoEntry EncryptAlgoAt(int Index) {
    std::lock_guard g(Lock());
    EnsureInitialised();
    return EntryAt(Encryptors(), Index);
}

std::vector<std::string> CompressAlgoNames() {
    std::lock_guard g(Lock());
    EnsureInitialised();
    return NamesOf(Compressors());
}

std::vector<std::string> EncryptAlgoNames() {
    std::lock_guard g(Lock());
    EnsureInitialised();
    return NamesOf(Encryptors());
}

}  // namespace tomedb
