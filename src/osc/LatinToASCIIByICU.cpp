// The transform where the build has ICU: its Latin-ASCII transliterator.
#include <unicode/translit.h>
#include <unicode/unistr.h>
#include <unicode/utypes.h>

#include <memory>

#include "osc/LatinToASCII.h"

namespace tempik::osc::detail {
namespace {

// ICU transliterators keep state while they run, so each thread works on its own clone of
// one prototype, which is built once.
const icu::Transliterator* latinASCIIPrototype() {
  static const std::unique_ptr<icu::Transliterator> prototype = [] {
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::Transliterator> t(
        icu::Transliterator::createInstance("Latin-ASCII", UTRANS_FORWARD, status));
    return U_SUCCESS(status) ? std::move(t) : nullptr;
  }();
  return prototype.get();
}

icu::Transliterator* latinASCII() {
  thread_local const std::unique_ptr<icu::Transliterator> clone = [] {
    const icu::Transliterator* prototype = latinASCIIPrototype();
    return std::unique_ptr<icu::Transliterator>(prototype ? prototype->clone() : nullptr);
  }();
  return clone.get();
}

}  // namespace

std::string toPrintableASCII(std::string_view text) {
  icu::UnicodeString unicode = icu::UnicodeString::fromUTF8(
      icu::StringPiece(text.data(), static_cast<int32_t>(text.size())));
  // Without the transform the text goes on unchanged; the replacement below still makes it ASCII.
  if (icu::Transliterator* transliterator = latinASCII()) transliterator->transliterate(unicode);
  std::string out;
  out.reserve(static_cast<std::size_t>(unicode.length()));
  for (int32_t i = 0; i < unicode.length();) {
    const UChar32 cp = unicode.char32At(i);
    out.push_back(cp >= 0x20 && cp <= 0x7E ? static_cast<char>(cp) : '?');
    i += U16_LENGTH(cp);
  }
  return out;
}

}  // namespace tempik::osc::detail
