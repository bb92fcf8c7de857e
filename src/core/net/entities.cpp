#include "core/net/entities.h"

#include <array>
#include <utility>

namespace quorvex {
namespace {

constexpr std::array<std::pair<std::string_view, std::string_view>, 6> kEntities{{
    {"nbsp", ""},
    {"gt", ">"},
    {"lt", "<"},
    {"quot", "'"},  // a single quote: the texts it is used on are written between double quotes
    {"amp", "&"},
    {"middot", "."},
}};

// The replacement of a named entity, or nothing when the name is not one of the six.
const std::string_view* Replacement(std::string_view name) {
  for (const auto& [entity, replacement] : kEntities) {
    if (entity == name) return &replacement;
  }
  return nullptr;
}

}  // namespace

std::string DecodeEntities(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  size_t mark = std::string::npos;  // position in out of the "&" that may start an entity
  for (const char c : text) {
    if (c == '&') {
      mark = out.size();
    } else if (c == ';' && mark != std::string::npos) {
      const std::string_view* replacement = Replacement(std::string_view(out).substr(mark + 1));
      if (replacement != nullptr) {
        out.resize(mark);
        out.append(*replacement);
        mark = std::string::npos;
        continue;
      }
    }
    out += c;
  }
  return out;
}

}  // namespace quorvex
