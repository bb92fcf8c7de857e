#include "core/pages/image_type.h"

#include <array>

#include "core/common/ascii.h"

namespace quorvex {
namespace {

struct ImageType {
  std::string_view extension;
  std::string_view magic;  // the file's first bytes
  std::string_view mime;
};

constexpr std::array<ImageType, 6> kTypes = {{
    {".gif", "GIF8", "image/gif"},
    {".png", "\x89PNG", "image/png"},
    {".jpg", "\xFF\xD8\xFF", "image/jpeg"},
    {".bmp", "BM", "image/bmp"},
    {".ico", std::string_view("\0\0\1\0", 4), "image/x-icon"},
    {".svg", "", "image/svg+xml"},
}};

bool IsWebp(std::string_view bytes) {
  return bytes.size() >= 12 && bytes.substr(0, 4) == "RIFF" && bytes.substr(8, 4) == "WEBP";
}

bool IsSvg(std::string_view bytes) {
  const std::string_view head = bytes.substr(0, 512);
  return FindIgnoreCase(head, "<svg") != std::string_view::npos;
}

std::string_view Canonical(std::string_view extension) {
  if (EqualsIgnoreCase(extension, ".jpeg")) return ".jpg";
  return extension;
}

}  // namespace

std::string RealImageExtension(std::string_view bytes, std::string_view contentType) {
  if (IsWebp(bytes)) return ".webp";
  for (const ImageType& type : kTypes) {
    if (!type.magic.empty() && bytes.substr(0, type.magic.size()) == type.magic) return std::string(type.extension);
  }
  if (IsSvg(bytes)) return ".svg";
  const std::string_view mime = contentType.substr(0, contentType.find(';'));
  for (const ImageType& type : kTypes) {
    if (EqualsIgnoreCase(TrimControlsView(mime), type.mime)) return std::string(type.extension);
  }
  if (EqualsIgnoreCase(TrimControlsView(mime), "image/webp")) return ".webp";
  return {};
}

bool ExtensionTellsType(std::string_view extension, std::string_view realExtension) {
  return EqualsIgnoreCase(Canonical(extension), Canonical(realExtension));
}

}  // namespace quorvex
