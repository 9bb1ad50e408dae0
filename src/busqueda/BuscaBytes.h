#pragma once
// Finding a piece of bytes in a long buffer, fast: the words of the notes are searched on most
// keystrokes of search everywhere.
#include <cstddef>
#include <string_view>

namespace Busqueda {

// The first place of aguja in [s, s + n), or null (s itself for an empty aguja).
const char* BuscaBytes(const char* s, size_t n, std::string_view aguja);

} // namespace Busqueda
