// The scratch store's printable run-length coding of one line.
#pragma once

#include <string_view>

namespace zatrel {

// A base-64 digit as a printable character, and back.
inline char xxd2chr(int digit) noexcept { return static_cast<char>(digit + 32); }
inline int xxc2dig(char c) noexcept { return static_cast<unsigned char>(c) - 32; }

// Encodes the first n characters of line into encoded (capacity limit) and
// returns the encoded length, its 4-character header included.
int xxrle(std::string_view line, int n, char* encoded, int limit) noexcept;

// The same coding, character by character as it is defined (for checking the above).
int xxrle_by_character(std::string_view line, int n, char* encoded, int limit) noexcept;

// Decodes into width characters of out, blank-padded; returns the number of
// characters decoded.
int xxrld(std::string_view encoded, char* out, int width) noexcept;

// The total length an encoded line's header announces.
int encoded_length(std::string_view encoded) noexcept;

}  // namespace zatrel
