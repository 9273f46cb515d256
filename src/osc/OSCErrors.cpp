#include "osc/OSCErrors.h"

namespace tempik::osc {
namespace {

std::string_view decodePrefix(OSCDecodeError::Case c) {
  switch (c) {
    case OSCDecodeError::Case::malformed:
      return "Malformed data: ";
    case OSCDecodeError::Case::unexpectedType:
      return "Unexpected OSC Type Tag: ";
    case OSCDecodeError::Case::valueDecodingError:
      return "OSC value decoding error: ";
    case OSCDecodeError::Case::internalInconsistency:
      break;
  }
  return "Internal inconsistency: ";
}

std::string_view encodePrefix(OSCEncodeError::Case c) {
  switch (c) {
    case OSCEncodeError::Case::general:
      return "Encoding error: ";
    case OSCEncodeError::Case::valueEncodingError:
      return "OSC value encoding error: ";
    case OSCEncodeError::Case::internalInconsistency:
      break;
  }
  return "Internal inconsistency: ";
}

}  // namespace

OSCDecodeError::OSCDecodeError(Case c, std::string text)
    : case_(c), text_(std::move(text)), description_(std::string(decodePrefix(c)) + text_) {}

OSCEncodeError::OSCEncodeError(Case c, std::string text)
    : case_(c), text_(std::move(text)), description_(std::string(encodePrefix(c)) + text_) {}

}  // namespace tempik::osc
