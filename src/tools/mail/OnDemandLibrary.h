// TOnDemandLibrary: a shared library opened when a feature first needs it
// instead of being linked into the program, so that neither its pages nor
// those of the libraries it pulls in are mapped at every start. A library,
// once opened, stays loaded for the program's life.
//
// Opening happens in the constructor; Resolve looks entry points up. Neither
// throws: Error() names, in English, the library that could not be opened or
// the first entry point it lacks, and is empty when everything was found.
#pragma once

#include <QString>
#include <optional>

class TOnDemandLibrary {
public:
    explicit TOnDemandLibrary(const char* soname);

    template <typename Function>
    void Resolve(const char* name, Function& entry) {
        entry = reinterpret_cast<Function>(Symbol(name));
    }
    const QString& Error() const { return m_error; }

private:
    void* Symbol(const char* name);

    QString m_soname;
    void* m_handle = nullptr;
    QString m_error;
};

// A table of entry points as loaded, or the reason it could not be loaded.
template <typename Api>
struct TLoadedApi {
    std::optional<Api> api;
    QString error;
};
