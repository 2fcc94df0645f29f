#include "tools/mail/CurlLibrary.h"

#include "tools/mail/TSmtpClient.h"

#include <QString>
#include <dlfcn.h>
#include <optional>

namespace {

// The library's run-time name (its soname), as the development link would record.
constexpr const char* kCurlLibrary = "libcurl.so.4";

template <typename Function>
bool Resolve(void* library, const char* name, Function& entry, QString& missing) {
    entry = reinterpret_cast<Function>(::dlsym(library, name));
    if (!entry && missing.isEmpty())
        missing = QString::fromLatin1(name);
    return entry != nullptr;
}

// The loaded table, or the reason it could not be loaded.
struct TLoaded {
    std::optional<TCurlApi> api;
    QString error;
};

TLoaded Load() {
    void* library = ::dlopen(kCurlLibrary, RTLD_NOW | RTLD_LOCAL);
    if (!library)
        return {std::nullopt, QStringLiteral("Cannot load %1: %2")
                                  .arg(QString::fromLatin1(kCurlLibrary), QString::fromLocal8Bit(::dlerror()))};
    // Kept loaded for the program's life: its global state outlives every client.
    TCurlApi api;
    QString missing;
    Resolve(library, "curl_global_init", api.global_init, missing);
    Resolve(library, "curl_easy_init", api.easy_init, missing);
    Resolve(library, "curl_easy_cleanup", api.easy_cleanup, missing);
    Resolve(library, "curl_easy_setopt", api.easy_setopt, missing);
    Resolve(library, "curl_easy_perform", api.easy_perform, missing);
    Resolve(library, "curl_easy_getinfo", api.easy_getinfo, missing);
    Resolve(library, "curl_easy_strerror", api.easy_strerror, missing);
    Resolve(library, "curl_slist_append", api.slist_append, missing);
    Resolve(library, "curl_slist_free_all", api.slist_free_all, missing);
    Resolve(library, "curl_mime_init", api.mime_init, missing);
    Resolve(library, "curl_mime_free", api.mime_free, missing);
    Resolve(library, "curl_mime_addpart", api.mime_addpart, missing);
    Resolve(library, "curl_mime_data", api.mime_data, missing);
    Resolve(library, "curl_mime_filedata", api.mime_filedata, missing);
    Resolve(library, "curl_mime_filename", api.mime_filename, missing);
    Resolve(library, "curl_mime_type", api.mime_type, missing);
    Resolve(library, "curl_mime_encoder", api.mime_encoder, missing);
    Resolve(library, "curl_mime_headers", api.mime_headers, missing);
    if (!missing.isEmpty())
        return {std::nullopt, QStringLiteral("%1 has no %2").arg(QString::fromLatin1(kCurlLibrary), missing)};
    api.global_init(CURL_GLOBAL_DEFAULT);
    return {api, QString()};
}

}  // namespace

const TCurlApi& Curl() {
    static const TLoaded loaded = Load();
    if (!loaded.api)
        throw ESmtpError(TSmtpFailure::Other, loaded.error);
    return *loaded.api;
}
