// The two process-wide algorithm registries: compression ("ZLIB") and
// encryption ("Blowfish", "Twofish", "Gost"). Names are matched without regard
// to letter case. Registering a class that is already listed renames it;
// otherwise the (name, class) pair is appended.
//
// InitDataProcessRegistries() registers the built-in algorithms in their fixed
// order; FreeDataProcessRegistries() empties both lists. The engine calls them
// at start-up and shutdown; any lookup before start-up (or after shutdown)
// initialises the lists on demand, so tests and tools need not call them.
// Both are safe to call from any thread (an internal mutex guards the lists).
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <typeindex>
#include <vector>

#include "tomedb/dataproc/DataProcessAlgo.h"

namespace tomedb {

template <class Algo>
struct TAlgoClassEntry {
    std::string Name;
    std::type_index Class;
    std::function<std::unique_ptr<Algo>(TTomeDBFileIO* owner)> Create;
};

using TCompressAlgoEntry = TAlgoClassEntry<TCompressAlgo>;
using TEncryptAlgoEntry = TAlgoClassEntry<TEncryptAlgo>;

void InitDataProcessRegistries();
void FreeDataProcessRegistries();

// Register a class under Name (see above for the rename rule).
void RegisterCompressAlgo(const std::string& Name, std::type_index Class,
                          std::function<std::unique_ptr<TCompressAlgo>(TTomeDBFileIO*)> Create);
void RegisterEncryptAlgo(const std::string& Name, std::type_index Class,
                         std::function<std::unique_ptr<TEncryptAlgo>(TTomeDBFileIO*)> Create);

template <class T>
void RegisterCompressAlgo(const std::string& Name) {
    RegisterCompressAlgo(Name, typeid(T), [](TTomeDBFileIO* o) { return std::make_unique<T>(o); });
}
template <class T>
void RegisterEncryptAlgo(const std::string& Name) {
    RegisterEncryptAlgo(Name, typeid(T), [](TTomeDBFileIO* o) { return std::make_unique<T>(o); });
}

// Position of Name in the list (case-insensitive), or -1.
int FindCompressAlgo(const std::string& Name);
int FindEncryptAlgo(const std::string& Name);
// Copies of the entries (snapshot); an index outside the list throws
// EDatabaseError("General error").
TCompressAlgoEntry CompressAlgoAt(int Index);
TEncryptAlgoEntry EncryptAlgoAt(int Index);
std::vector<std::string> CompressAlgoNames();
std::vector<std::string> EncryptAlgoNames();

}  // namespace tomedb
