// ZipLibrary: the libzip entry points the mail command's archive writer
// calls, loaded when the first archive is written (see TOnDemandLibrary):
// linked in, libzip would bring its compression and crypto libraries into
// every start.
//
// Zip() loads libzip once (thread-safe) and returns the table, or null when
// the library or one of its entry points cannot be found; ZipLoadError() then
// says which, in English.
#pragma once

#include <zip.h>
#include <QString>

struct TZipApi {
    decltype(&::zip_open) open = nullptr;
    decltype(&::zip_close) close = nullptr;
    decltype(&::zip_discard) discard = nullptr;
    decltype(&::zip_error_init_with_code) error_init_with_code = nullptr;
    decltype(&::zip_error_strerror) error_strerror = nullptr;
    decltype(&::zip_error_fini) error_fini = nullptr;
    decltype(&::zip_strerror) strerror = nullptr;
    decltype(&::zip_source_file) source_file = nullptr;
    decltype(&::zip_source_free) source_free = nullptr;
    decltype(&::zip_file_add) file_add = nullptr;
    decltype(&::zip_set_file_compression) set_file_compression = nullptr;
};

const TZipApi* Zip();
QString ZipLoadError();
