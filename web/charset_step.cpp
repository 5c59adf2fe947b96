#include "web/charset_step.h"

#include <mlang.h>

#include <climits>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "automation/boundary.h"

namespace {

// Only the start of a page is searched for its declaration.
constexpr int kPrefixLength = 1024;
constexpr std::string_view kCharsetPattern = "<meta.+?charset=[^\\w]?([-\\w]+)";
// Names of the local code page: such a body is local text already.
constexpr std::string_view kLocalNames[] = {"gbk", "gb2312"};

constexpr int kBinary = 1;
constexpr int kText = 2;
constexpr int kReadWrite = 3;

// Declared here: not every MinGW import library carries these two.
constexpr CLSID kMultiLanguageClass = {0x275c23e2, 0x3747, 0x11d0, {0x9f, 0xea, 0x00, 0xaa, 0x00, 0x3f, 0x86, 0x46}};
constexpr IID kMultiLanguage2 = {0xdccfc164, 0x2b38, 0x11d2, {0xb7, 0xec, 0x00, 0xc0, 0x4f, 0x8f, 0x5d, 0x9a}};

class ComApartment {
 public:
  ComApartment() { CoInitialize(nullptr); }  // an already initialised thread is fine too
  ~ComApartment() { CoUninitialize(); }
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;
};

struct Releaser {
  void operator()(IUnknown* object) const { object->Release(); }
};
struct BstrFreer {
  void operator()(OLECHAR* value) const { SysFreeString(value); }
};

// The system's stream object decodes the bytes, the way the routine was
// first meant to run; "Type" has been set to binary already.
Text ReadWithStream(CharsetStep& step, const Text& name, const Bytes& body) {
  step.bytes.Assign(body);
  step.stream.SetProperty("Mode", kReadWrite);
  step.stream.Call("Open");
  step.stream.Call("Write", step.bytes);
  step.stream.SetProperty("Position", 0);
  step.stream.SetProperty("Type", kText);
  step.stream.SetProperty("Charset", name);
  Text decoded = step.stream.CallText("ReadText");
  step.stream.Call("Close");
  step.stream.Clear();
  step.bytes.Clear();
  return decoded;
}

// The platform's character-set registry (MLang, the one the stream itself
// consults) names the code page; nullopt for a name it does not know.
std::optional<Text> DecodeWithCharsetRegistry(const Text& name, const Bytes& body) {
  IMultiLanguage2* rawRegistry = nullptr;
  if (FAILED(CoCreateInstance(kMultiLanguageClass, nullptr, CLSCTX_INPROC_SERVER, kMultiLanguage2,
                              reinterpret_cast<void**>(&rawRegistry))) ||
      rawRegistry == nullptr) {
    return std::nullopt;
  }
  const std::unique_ptr<IMultiLanguage2, Releaser> registry(rawRegistry);
  const std::unique_ptr<OLECHAR, BstrFreer> wideName(TextToBstr(name));
  MIMECSETINFO info{};
  if (!wideName || FAILED(registry->GetCharsetInfo(wideName.get(), &info))) return std::nullopt;
  // uiCodePage is the family's (1200 for utf-8); the internet encoding is
  // the one the bytes are in.
  const UINT codePage = info.uiInternetEncoding;
  if (body.empty() || body.size() > INT_MAX) return Text();
  const auto* bytes = reinterpret_cast<const char*>(body.data());
  const int length = static_cast<int>(body.size());
  const int units = MultiByteToWideChar(codePage, 0, bytes, length, nullptr, 0);
  if (units <= 0) return Text();
  std::wstring wide(static_cast<size_t>(units), L'\0');
  const int written = MultiByteToWideChar(codePage, 0, bytes, length, wide.data(), units);
  wide.resize(written > 0 ? static_cast<size_t>(written) : 0);
  // As for any text from the automation boundary: the ANSI code page, its
  // default character for what it lacks, cut at the first NUL.
  return WideToText(wide);
}

// The one place that chooses the decoder: the stream where the system has
// one that can be driven by member name (Windows), the registry otherwise
// (Wine's stream has no type information, so every member write fails).
std::optional<Text> DecodeBody(CharsetStep& step, const Text& name, const Bytes& body) {
  if (step.stream.Create("Adodb.Stream") && step.stream.SetProperty("Type", kBinary)) {
    return ReadWithStream(step, name, body);
  }
  step.stream.Clear();
  return DecodeWithCharsetRegistry(name, body);
}

}  // namespace

Text ConvertBodyCharset(CharsetStep& step, Text bodyText, const Bytes& body) {
  const ComApartment apartment;
  if (!step.regex.Create(kCharsetPattern, TextLeft(bodyText, kPrefixLength))) return bodyText;

  const Text name = step.regex.SubMatchText(1, 1);
  bool local = false;
  for (std::string_view localName : kLocalNames) local = local || TextEquals(name, localName);
  if (TextLength(name) > 0 && !local) {
    std::optional<Text> decoded = DecodeBody(step, name, body);
    // A decoding that yields nothing must not cost the page its text.
    if (decoded.has_value() && !(decoded->empty() && !bodyText.empty())) bodyText = std::move(*decoded);
  }
  ProcessEvents();
  return bodyText;
}
