// Pattern matching over code-page text with the platform's VBScript.RegExp
// automation object, driven through the automation bridge.
//
// Match and sub-match numbers are 1-based. Nothing reports an error: before
// the first Create, after a failed one, or for a number outside the
// collection, the operations give the empty text or 0.
#pragma once

#include <string_view>

#include "automation/com_object.h"
#include "automation/variant.h"
#include "text/text.h"

class RegexObject {
 public:
  // Pairs a CoInitialize here with a CoUninitialize at destruction.
  RegexObject();
  ~RegexObject();
  // A copy would share the objects yet call CoUninitialize once more than
  // CoInitialize; moving hands the pairing over with the objects.
  RegexObject(const RegexObject&) = delete;
  RegexObject& operator=(const RegexObject&) = delete;
  RegexObject(RegexObject&& other) noexcept;
  RegexObject& operator=(RegexObject&& other) noexcept;

  // Makes a new RegExp with the options and pattern and runs it over the
  // subject. With quoteMarker, each "#引号" in the pattern stands for a
  // double quote. True when Execute gave a match collection, empty or not.
  bool Create(std::string_view pattern, std::string_view subjectText, bool caseSensitive = false,
              bool multiline = true, bool global = true, bool quoteMarker = false);
  // The pattern as written (after the marker replacement).
  [[nodiscard]] Text GetPattern() const;
  // The subject of the last Create with every match replaced.
  [[nodiscard]] Text Replace(std::string_view replacement = {}) const;
  [[nodiscard]] int MatchCount() const;
  // The text of match `index`. When `position` is given it receives the
  // 0-based byte offset of the match text found from the match's character
  // in the subject on, or -2 when it is not found there.
  // Example: subject "aaa", pattern "a": MatchText(2, &p) gives "a" and p == 1.
  [[nodiscard]] Text MatchText(int index, int* position = nullptr) const;
  // Sub-match `subMatchIndex` (1 = the first capture group) of match
  // `matchIndex`; `position` is searched from the match's start.
  [[nodiscard]] Text SubMatchText(int matchIndex, int subMatchIndex, int* position = nullptr) const;
  // Number of capture groups in the first match.
  [[nodiscard]] int SubMatchCount() const;

 private:
  [[nodiscard]] int PositionInSubject(const ComObject& match, std::string_view text) const;
  void ReleaseAll();

  ComObject regExp_;
  ComObject matches_;
  Variant subject_;
  bool pairsCoInitialize_ = false;
};
