#pragma once

#include <QString>

#include <optional>

namespace q7::component {

// The component's string table (language 2052), looked up by number.
namespace StringTable {

inline constexpr const char* LibraryName = "Q7BomLib";

std::optional<QString> find(int number);
int count();

} // namespace StringTable

} // namespace q7::component
