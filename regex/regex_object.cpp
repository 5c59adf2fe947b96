#include "regex/regex_object.h"

#include <cmath>
#include <utility>

namespace {

// "#引号" in code page 936.
constexpr std::string_view kQuoteMarker = "#\xD2\xFD\xBA\xC5";

int Truncated(double number) {
  if (!(number > -2147483648.0 && number < 2147483648.0)) return 0;
  return static_cast<int>(std::trunc(number));
}

// The byte offset of the character that `units` UTF-16 units into the text
// begin: each character of the code page is one unit, a lead byte (0x80 or
// above) with its trail byte being one character. Never past the end.
int ByteOffsetOfUnit(std::string_view text, int units) {
  size_t offset = 0;
  for (int unit = 0; unit < units && offset < text.size(); ++unit) {
    const bool twoBytes = static_cast<unsigned char>(text[offset]) >= 0x80 && offset + 1 < text.size();
    offset += twoBytes ? 2 : 1;
  }
  return static_cast<int>(offset);
}

}  // namespace

RegexObject::RegexObject() {
  CoInitialize(nullptr);  // its result is ignored: an initialised thread is fine too
  pairsCoInitialize_ = true;
}

RegexObject::~RegexObject() { ReleaseAll(); }

RegexObject::RegexObject(RegexObject&& other) noexcept
    : regExp_(std::move(other.regExp_)),
      matches_(std::move(other.matches_)),
      subject_(std::move(other.subject_)),
      pairsCoInitialize_(std::exchange(other.pairsCoInitialize_, false)) {}

RegexObject& RegexObject::operator=(RegexObject&& other) noexcept {
  if (this != &other) {
    ReleaseAll();
    regExp_ = std::move(other.regExp_);
    matches_ = std::move(other.matches_);
    subject_ = std::move(other.subject_);
    pairsCoInitialize_ = std::exchange(other.pairsCoInitialize_, false);
  }
  return *this;
}

void RegexObject::ReleaseAll() {
  regExp_.Clear();
  matches_.Clear();
  subject_.Clear();
  if (std::exchange(pairsCoInitialize_, false)) CoUninitialize();
}

bool RegexObject::Create(std::string_view pattern, std::string_view subjectText, bool caseSensitive,
                         bool multiline, bool global, bool quoteMarker) {
  regExp_.Clear();
  matches_.Clear();
  regExp_.Create("VBScript.RegExp");
  regExp_.SetProperty("IgnoreCase", !caseSensitive);
  regExp_.SetProperty("Multiline", multiline);
  // VBScript.RegExp has no such member: the write fails and the dot keeps
  // its ordinary meaning (never a line feed).
  regExp_.SetProperty("Singleline", true);
  regExp_.SetProperty("Global", global);
  regExp_.SetProperty("Pattern", quoteMarker ? ReplaceText(pattern, kQuoteMarker, "\"", 1, -1, true)
                                             : Text(pattern));
  subject_.Assign(subjectText);
  matches_ = regExp_.CallObject("Execute", subject_);
  return !matches_.IsEmpty();
}

Text RegexObject::GetPattern() const { return regExp_.GetTextProperty("Pattern"); }

Text RegexObject::Replace(std::string_view replacement) const {
  const Variant with(replacement);
  return regExp_.CallText("Replace", subject_, with);
}

int RegexObject::MatchCount() const { return Truncated(matches_.GetNumberProperty("Count")); }

Text RegexObject::MatchText(int index, int* position) const {
  const ComObject match = matches_.GetObjectProperty("Item", index - 1);
  const Text text = match.GetProperty("Value").GetText();
  if (position != nullptr) *position = PositionInSubject(match, text);
  return text;
}

Text RegexObject::SubMatchText(int matchIndex, int subMatchIndex, int* position) const {
  const ComObject match = matches_.GetObjectProperty("Item", matchIndex - 1);
  const ComObject subMatches = match.GetObjectProperty("SubMatches");
  const Text text = subMatches.GetProperty("Item", subMatchIndex - 1).GetText();
  if (position != nullptr) *position = PositionInSubject(match, text);
  return text;
}

int RegexObject::SubMatchCount() const {
  const ComObject match = matches_.GetObjectProperty("Item", 0);
  const ComObject subMatches = match.GetObjectProperty("SubMatches");
  return Truncated(subMatches.GetNumberProperty("Count"));
}

// FirstIndex counts UTF-16 units, the subject is bytes: the search starts at
// the character FirstIndex names, which is where the match begins, so it can
// neither start inside a two-byte character nor step over the match.
int RegexObject::PositionInSubject(const ComObject& match, std::string_view text) const {
  const Text subject = subject_.GetText();
  const int firstIndex = Truncated(match.GetNumberProperty("FirstIndex"));
  const bool ignoreCase = !TextEquals(regExp_.GetProperty("IgnoreCase").GetText(), "0");
  const int start = ByteOffsetOfUnit(subject, firstIndex) + 1;
  return FindText(subject, text, start, ignoreCase) - 1;
}
