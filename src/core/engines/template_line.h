#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace quorvex {

// One "name=value" item of a template alternative: a condition on the tag's attribute, or, when the
// value is a field reference, a capture of the attribute's value into that field. Written "name~=word",
// the condition holds when word is one of the blank-separated words of the attribute's value, so that
// class attributes listing several or hashed class names can be matched on the one that matters.
struct TTemplateItem {
  std::string name;
  std::string value;
  bool isWordTest = false;
  bool isCapture = false;
  int field = -1;  // capture target, zero-based; below 0 captures nothing
};

// One alternative of a template line: an optional prefix, then a tag name and its items.
struct TTemplateAlternative {
  char prefix = 0;          // '&' strict on, '|' strict off, '@' the tag goes on to the next line; or 0
  bool hasTagName = false;  // false when the rest of the alternative is an empty comma list
  std::string tagName;
  std::vector<TTemplateItem> items;
};

// A template line, split once when the definition is loaded so that matching a tag allocates nothing.
// Capture lines ("$N") keep their alternatives too: matching can land on one and then examines it
// like any other line.
struct TTemplateLine {
  bool isCapture = false;
  int captureField = -1;
  std::vector<TTemplateAlternative> alternatives;
};

TTemplateLine ParseTemplateLine(std::string_view line);

}  // namespace quorvex
