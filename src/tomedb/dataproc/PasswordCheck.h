// The password check string stored in a database header: SHA-0 of the
// password bytes, written with Base64 letters in the engine's own grouping
// (trailing zero 6-bit values of each 3-byte group are dropped, "=="/"="
// appended for inputs of length 1/2 mod 3). Pure functions; cannot fail.
#pragma once

#include <string>
#include <string_view>

namespace tomedb {

// Password: the password's bytes in the database code page (GB18030), no
// terminator. Result: at most 28 ASCII characters.
std::string PasswordCheckString(std::string_view Password);

// The encoder on its own (any input).
std::string CheckStringEncode(std::string_view Bytes);

}  // namespace tomedb
