#pragma once
#include <string>
#include <string_view>

#include "core/net/THtmlParser.h"

namespace quorvex::test {

// Scans html and writes every event compactly: a tag as <name|entry|entry>, a text segment as [text].
// With rebuild set, the rebuilt document is left in parser.Content.
std::string ScanEvents(THtmlParser& parser, std::string_view html, bool rebuild = false);
std::string ScanEvents(std::string_view html);

// The document as a fresh parser rebuilds it without handlers.
std::string Rebuilt(std::string_view html);

}  // namespace quorvex::test
