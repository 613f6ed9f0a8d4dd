// Text encodings of the files the programs read: UTF-8, or Windows-1252 for older files. What
// the programs write is UTF-8.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace textio {

/// True when the bytes are valid UTF-8 (no overlong forms, surrogates or values past U+10FFFF).
bool is_valid_utf8(std::string_view bytes);

/// The length of `bytes` without a UTF-8 character that the end cuts short (its lead byte and
/// the continuation bytes present); the whole length when the end is no such cut.
std::size_t without_cut_character(std::string_view bytes);

/// Whether a file whose first bytes are `sample` reads as UTF-8: the sample is valid UTF-8,
/// but for a character cut by its end when `cut` says the file goes on after it.
bool reads_as_utf8(std::string_view sample, bool cut);

/// Windows-1252 bytes as UTF-8 (the five unassigned codes become U+FFFD).
std::string cp1252_to_utf8(std::string_view bytes);

/// Appends the UTF-8 form of one code point.
void append_utf8(std::string& out, char32_t cp);

/// The code points of valid UTF-8 text.
std::u32string utf8_to_u32(std::string_view utf8);

/// Number of code points of UTF-8 text.
std::size_t utf8_length(std::string_view utf8);

/// The first `count` code points of UTF-8 text (all of it when it holds fewer).
std::string_view utf8_prefix(std::string_view utf8, std::size_t count);

}  // namespace textio
