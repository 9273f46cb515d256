#pragma once

#include <exception>
#include <string>
#include <string_view>

namespace tempik::osc {

/// A decoding failure. Decoders throw it and return nothing at all: no partial message,
/// argument list or bundle ever escapes a failed decode.
class OSCDecodeError : public std::exception {
 public:
  enum class Case { malformed, unexpectedType, valueDecodingError, internalInconsistency };

  static OSCDecodeError malformed(std::string text) { return {Case::malformed, std::move(text)}; }
  static OSCDecodeError unexpectedType(char tag) {
    return {Case::unexpectedType, std::string(1, tag)};
  }
  static OSCDecodeError valueDecodingError(std::string text) {
    return {Case::valueDecodingError, std::move(text)};
  }
  static OSCDecodeError internalInconsistency(std::string text) {
    return {Case::internalInconsistency, std::move(text)};
  }

  Case errorCase() const { return case_; }
  /// The case's payload: its text, or for `unexpectedType` the tag character.
  const std::string& text() const { return text_; }
  const std::string& description() const { return description_; }
  const char* what() const noexcept override { return description_.c_str(); }

  friend bool operator==(const OSCDecodeError& a, const OSCDecodeError& b) {
    return a.case_ == b.case_ && a.text_ == b.text_;
  }

 private:
  OSCDecodeError(Case c, std::string text);

  Case case_;
  std::string text_;
  std::string description_;
};

/// An encoding failure; encoders throw it and return no bytes.
class OSCEncodeError : public std::exception {
 public:
  enum class Case { general, valueEncodingError, internalInconsistency };

  static OSCEncodeError general(std::string text) { return {Case::general, std::move(text)}; }
  static OSCEncodeError valueEncodingError(std::string text) {
    return {Case::valueEncodingError, std::move(text)};
  }
  static OSCEncodeError internalInconsistency(std::string text) {
    return {Case::internalInconsistency, std::move(text)};
  }

  Case errorCase() const { return case_; }
  const std::string& text() const { return text_; }
  const std::string& description() const { return description_; }
  const char* what() const noexcept override { return description_.c_str(); }

  friend bool operator==(const OSCEncodeError& a, const OSCEncodeError& b) {
    return a.case_ == b.case_ && a.text_ == b.text_;
  }

 private:
  OSCEncodeError(Case c, std::string text);

  Case case_;
  std::string text_;
  std::string description_;
};

/// A failure to register a value kind in the tag registry.
class OSCSerializationError : public std::exception {
 public:
  enum class Case { tagAlreadyRegistered };

  explicit OSCSerializationError(Case c = Case::tagAlreadyRegistered) : case_(c) {}
  Case errorCase() const { return case_; }
  std::string description() const { return "Tag already registered"; }
  const char* what() const noexcept override { return "Tag already registered"; }

 private:
  Case case_;
};

}  // namespace tempik::osc
