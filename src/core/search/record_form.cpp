#include "core/search/record_form.h"

#include <cstdint>

#include "core/net/entities.h"
#include "core/store/TOneResult.h"

namespace quorvex {
namespace {

std::uint8_t LanguageOf(const TRecord& record) {
  if (record.size() < 4) return 0;
  const std::string& marker = record[3];
  if (marker == "GB") return kLanguageGB;
  if (marker == "BIG5") return kLanguageBig5;
  if (marker == "ENG") return kLanguageEnglish;
  return 0;
}

}  // namespace

TReadyRecord TRecordForm::Ready(const TRecord& record) const {
  if (record.size() <= 2) return {};
  const auto stored = [this](const std::string& field) {
    std::string text = SqueezeBlanks(field);
    return Utf8 ? DecodeNumericReferences(text, TTextEncoding::Utf8)
                : DecodeNumericReferences(ConvertCodePage(text, CodePage, kCodePageGb), TTextEncoding::Gb18030);
  };
  return ReadyRecord(TFoundRecord{stored(record[1]), stored(record[2]), record[0], LanguageOf(record)}, Weight,
                     QueryWords);
}

}  // namespace quorvex
