#pragma once
#include <string>
#include <string_view>

namespace quorvex {

// The extension (".png", ".jpg", ...) of an image's real type, told by its first bytes or else by its
// Content-Type; empty when neither names an image type this program knows.
std::string RealImageExtension(std::string_view bytes, std::string_view contentType);

// Whether a file named with extension would be opened as an image of the type realExtension names
// (".JPEG" and ".jpg" both mean JPEG).
bool ExtensionTellsType(std::string_view extension, std::string_view realExtension);

}  // namespace quorvex
