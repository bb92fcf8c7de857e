#pragma once
#include <string>
#include <string_view>

namespace quorvex {

// Replaces the named entities nbsp (by nothing), gt, lt, quot (by a single quote), amp and middot (by ".")
// in exact case; every other entity, numeric ones included, stays as written. A replacement is never
// decoded again.
std::string DecodeEntities(std::string_view text);

}  // namespace quorvex
