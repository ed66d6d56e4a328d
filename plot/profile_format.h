#pragma once

// Which picture a profile file name asks for. Plain C++, so that a tool can
// check the name before it loads anything that draws.

#include <optional>
#include <string>
#include <string_view>

namespace quarrow {

enum class ProfileFormat { kSvg, kPng, kPdf };

// By the extension in any letter case: ".svg", ".png", ".pdf". Anything
// else, no extension (or a dot only in a folder's name) included, is none.
inline std::optional<ProfileFormat> ProfileFormatOf(std::string_view path) {
  const std::size_t dot = path.rfind('.');
  const std::size_t slash = path.find_last_of("/\\");
  if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash)) {
    return std::nullopt;
  }
  std::string extension(path.substr(dot + 1));
  for (char& c : extension) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  if (extension == "svg") return ProfileFormat::kSvg;
  if (extension == "png") return ProfileFormat::kPng;
  if (extension == "pdf") return ProfileFormat::kPdf;
  return std::nullopt;
}

}  // namespace quarrow
