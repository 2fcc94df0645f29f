#include "tomedb/dataproc/PasswordCheck.h"

#include <cstdint>

#include "tomedb/dataproc/Sha.h"

namespace tomedb {

namespace {
constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
}

// Each 3-byte group (the last one zero-completed) gives four 6-bit values;
// only those up to the last non-zero one are written. Stored check strings
// depend on this exact grouping, so it must not become standard Base64.
std::string CheckStringEncode(std::string_view Bytes) {
    std::string out;
    for (size_t i = 0; i < Bytes.size(); i += 3) {
        uint32_t group = 0;
        for (size_t j = 0; j < 3; ++j) {
            uint8_t b = (i + j < Bytes.size()) ? static_cast<uint8_t>(Bytes[i + j]) : 0;
            group = (group << 8) | b;
        }
        const uint32_t values[4] = {group >> 18, (group >> 12) & 63, (group >> 6) & 63, group & 63};
        int last = -1;
        for (int k = 0; k < 4; ++k)
            if (values[k] != 0)
                last = k;
        for (int k = 0; k <= last; ++k)
            out += kAlphabet[values[k]];
    }
    if (Bytes.size() % 3 == 1)
        out += "==";
    else if (Bytes.size() % 3 == 2)
        out += "=";
    return out;
}

std::string PasswordCheckString(std::string_view Password) {
    return CheckStringEncode(THash_SHA::CalcString(Password));
}

}  // namespace tomedb
