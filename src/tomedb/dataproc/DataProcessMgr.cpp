#include "tomedb/dataproc/DataProcessMgr.h"

#include <typeindex>

#include "tomedb/dataproc/Registry.h"

namespace tomedb {

namespace {
[[noreturn]] void GeneralError() { throw EDatabaseError("General error"); }
}  // namespace

// ---- TDataProcessMgr ------------------------------------------------------

TDataProcessAlgo& TDataProcessMgr::RequireAlgo() const {
    TDataProcessAlgo* algo = Algo();
    if (!algo)
        GeneralError();
    return *algo;
}

// The algorithm reports through the manager's handlers as they are at the
// time of the report, so handlers set later still receive progress.
void TDataProcessMgr::ConnectProgress(TDataProcessAlgo& algo) {
    algo.OnEncodeProgress = [this](int percent) {
        if (OnEncodeProgress)
            OnEncodeProgress(percent);
    };
    algo.OnDecodeProgress = [this](int percent) {
        if (OnDecodeProgress)
            OnDecodeProgress(percent);
    };
}

void TDataProcessMgr::EncodeStream(const std::string& Source, std::string& Dest, int64_t Size) {
    RequireAlgo().EncodeStream(Source, Dest, Size);
}

void TDataProcessMgr::DecodeStream(const std::string& Source, std::string& Dest, int64_t Size) {
    RequireAlgo().DecodeStream(Source, Dest, Size);
}

// ---- TCompressMgr ---------------------------------------------------------

TCompressMgr::~TCompressMgr() = default;

void TCompressMgr::DecodeInPieces(const std::string& Source, const TPieceSink& Sink) {
    if (!FAlgo)
        GeneralError();
    FAlgo->DecodeInPieces(Source, Sink);
}

int TCompressMgr::AlgoIndex(const std::string& Name) {
    const int index = FindCompressAlgo(Name);
    if (index < 0)
        throw EDatabaseError(FormatMessage("Compression algorithm module '%s' not found", Name.c_str()));
    return index;
}

void TCompressMgr::SetAlgoName(const std::string& Name) {
    const TCompressAlgoEntry entry = CompressAlgoAt(AlgoIndex(Name));
    if (FAlgo) {
        const TDataProcessAlgo& current = *FAlgo;
        if (std::type_index(typeid(current)) == entry.Class)
            return;
    }
    FAlgo.reset();
    FAlgo = entry.Create(Owner);
    ConnectProgress(*FAlgo);
}

// ---- TEncryptMgr ----------------------------------------------------------

TEncryptMgr::~TEncryptMgr() = default;

int TEncryptMgr::AlgoIndex(const std::string& Name) {
    const int index = FindEncryptAlgo(Name);
    if (index < 0)
        throw EDatabaseError(FormatMessage("Encryption algorithm module '%s' not found", Name.c_str()));
    return index;
}

void TEncryptMgr::SetAlgoName(const std::string& Name) {
    const TEncryptAlgoEntry entry = EncryptAlgoAt(AlgoIndex(Name));
    if (FAlgo) {
        const TDataProcessAlgo& current = *FAlgo;
        if (std::type_index(typeid(current)) == entry.Class)
            return;
    }
    FAlgo.reset();
    FAlgo = entry.Create(Owner);
    ConnectProgress(*FAlgo);
}

TEncryptAlgo& TEncryptMgr::RequireEncryptAlgo() const {
    if (!FAlgo)
        GeneralError();
    return *FAlgo;
}

// Every operation ends with Done, even when it fails, so the next stored
// unit always starts from the IV.
template <class Fn>
static void ThenDone(TEncryptAlgo& algo, Fn&& fn) {
    try {
        fn();
    } catch (...) {
        algo.Done();
        throw;
    }
    algo.Done();
}

void TEncryptMgr::EncodeStream(const std::string& Source, std::string& Dest, int64_t Size) {
    TEncryptAlgo& algo = RequireEncryptAlgo();
    ThenDone(algo, [&] { algo.EncodeStream(Source, Dest, Size); });
}

void TEncryptMgr::DecodeStream(const std::string& Source, std::string& Dest, int64_t Size) {
    TEncryptAlgo& algo = RequireEncryptAlgo();
    ThenDone(algo, [&] { algo.DecodeStream(Source, Dest, Size); });
}

void TEncryptMgr::EncodeBuffer(const void* Source, void* Dest, size_t Size) {
    TEncryptAlgo& algo = RequireEncryptAlgo();
    ThenDone(algo, [&] { algo.EncodeBuffer(Source, Dest, Size); });
}

void TEncryptMgr::DecodeBuffer(const void* Source, void* Dest, size_t Size) {
    TEncryptAlgo& algo = RequireEncryptAlgo();
    ThenDone(algo, [&] { algo.DecodeBuffer(Source, Dest, Size); });
}

std::string TEncryptMgr::EncodeBuffer(const std::string& Source) {
    std::string out(Source);
    EncodeBuffer(out.data(), out.data(), out.size());
    return out;
}

std::string TEncryptMgr::DecodeBuffer(const std::string& Source) {
    std::string out(Source);
    DecodeBuffer(out.data(), out.data(), out.size());
    return out;
}

void TEncryptMgr::SetMode(int Mode) { RequireEncryptAlgo().SetMode(Mode); }

int TEncryptMgr::GetMode() const { return RequireEncryptAlgo().GetMode(); }

void TEncryptMgr::InitKey(const std::string& Password) { RequireEncryptAlgo().InitKey(Password); }

void TEncryptMgr::Done() { RequireEncryptAlgo().Done(); }

}  // namespace tomedb
