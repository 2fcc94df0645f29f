#include "tools/mail/ZipLibrary.h"

#include "tools/mail/OnDemandLibrary.h"

namespace {

const TLoadedApi<TZipApi>& Loaded() {
    static const TLoadedApi<TZipApi> loaded = [] {
        TOnDemandLibrary library("libzip.so.4");
        TZipApi api;
        library.Resolve("zip_open", api.open);
        library.Resolve("zip_close", api.close);
        library.Resolve("zip_discard", api.discard);
        library.Resolve("zip_error_init_with_code", api.error_init_with_code);
        library.Resolve("zip_error_strerror", api.error_strerror);
        library.Resolve("zip_error_fini", api.error_fini);
        library.Resolve("zip_strerror", api.strerror);
        library.Resolve("zip_source_file", api.source_file);
        library.Resolve("zip_source_free", api.source_free);
        library.Resolve("zip_file_add", api.file_add);
        library.Resolve("zip_set_file_compression", api.set_file_compression);
        if (!library.Error().isEmpty())
            return TLoadedApi<TZipApi>{std::nullopt, library.Error()};
        return TLoadedApi<TZipApi>{api, QString()};
    }();
    return loaded;
}

}  // namespace

const TZipApi* Zip() { return Loaded().api ? &*Loaded().api : nullptr; }

QString ZipLoadError() { return Loaded().error; }
