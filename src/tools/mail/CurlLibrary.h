// CurlLibrary: the libcurl entry points the SMTP client calls, loaded on first
// use. Linked into the program, libcurl and the TLS, Kerberos and LDAP
// libraries it pulls in would be mapped and initialised at every start (some
// 5 MB resident), while only sending a mail needs them.
//
// Curl() loads libcurl once (thread-safe) and returns the table of entry
// points. When the library or one of its entry points cannot be found it
// throws ESmtpError (TSmtpFailure::Other) naming what is missing, at every
// call, so a send fails with a message instead of the program failing to start.
#pragma once

#include <curl/curl.h>

struct TCurlApi {
    decltype(&::curl_global_init) global_init = nullptr;
    decltype(&::curl_easy_init) easy_init = nullptr;
    decltype(&::curl_easy_cleanup) easy_cleanup = nullptr;
    decltype(&::curl_easy_setopt) easy_setopt = nullptr;
    decltype(&::curl_easy_perform) easy_perform = nullptr;
    decltype(&::curl_easy_getinfo) easy_getinfo = nullptr;
    decltype(&::curl_easy_strerror) easy_strerror = nullptr;
    decltype(&::curl_slist_append) slist_append = nullptr;
    decltype(&::curl_slist_free_all) slist_free_all = nullptr;
    decltype(&::curl_mime_init) mime_init = nullptr;
    decltype(&::curl_mime_free) mime_free = nullptr;
    decltype(&::curl_mime_addpart) mime_addpart = nullptr;
    decltype(&::curl_mime_data) mime_data = nullptr;
    decltype(&::curl_mime_filedata) mime_filedata = nullptr;
    decltype(&::curl_mime_filename) mime_filename = nullptr;
    decltype(&::curl_mime_type) mime_type = nullptr;
    decltype(&::curl_mime_encoder) mime_encoder = nullptr;
    decltype(&::curl_mime_headers) mime_headers = nullptr;
};

const TCurlApi& Curl();
