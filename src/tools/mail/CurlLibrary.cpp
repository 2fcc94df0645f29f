#include "tools/mail/CurlLibrary.h"

#include "tools/mail/OnDemandLibrary.h"
#include "tools/mail/SmtpError.h"

namespace {

TLoadedApi<TCurlApi> Load() {
    // The library's run-time name (its soname), as a link would record it.
    TOnDemandLibrary library("libcurl.so.4");
    TCurlApi api;
    library.Resolve("curl_global_init", api.global_init);
    library.Resolve("curl_easy_init", api.easy_init);
    library.Resolve("curl_easy_cleanup", api.easy_cleanup);
    library.Resolve("curl_easy_setopt", api.easy_setopt);
    library.Resolve("curl_easy_perform", api.easy_perform);
    library.Resolve("curl_easy_getinfo", api.easy_getinfo);
    library.Resolve("curl_easy_strerror", api.easy_strerror);
    library.Resolve("curl_slist_append", api.slist_append);
    library.Resolve("curl_slist_free_all", api.slist_free_all);
    library.Resolve("curl_mime_init", api.mime_init);
    library.Resolve("curl_mime_free", api.mime_free);
    library.Resolve("curl_mime_addpart", api.mime_addpart);
    library.Resolve("curl_mime_data", api.mime_data);
    library.Resolve("curl_mime_filedata", api.mime_filedata);
    library.Resolve("curl_mime_filename", api.mime_filename);
    library.Resolve("curl_mime_type", api.mime_type);
    library.Resolve("curl_mime_encoder", api.mime_encoder);
    library.Resolve("curl_mime_headers", api.mime_headers);
    if (!library.Error().isEmpty())
        return {std::nullopt, library.Error()};
    api.global_init(CURL_GLOBAL_DEFAULT);
    return {api, QString()};
}

}  // namespace

const TCurlApi& Curl() {
    static const TLoadedApi<TCurlApi> loaded = Load();
    if (!loaded.api)
        throw ESmtpError(TSmtpFailure::Other, loaded.error);
    return *loaded.api;
}
