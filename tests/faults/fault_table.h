// The faults that a conversion can meet, one row each. Every row is run twice:
// through WebRequest, where the outputs and the failure message are checked,
// and through the real window, where the program must survive, show its
// result and open no other window.
//
// A row's fault comes from the local service: the long address
// "http://fault.test/?PARAMS" makes its /dwz.php answer as /script?PARAMS
// would. Three rows need another host instead (nothing listening, a
// certificate that does not name the host, a name that cannot resolve); for
// those the build makes copies of the program with that conversion host. The
// untrusted certificate is the service's own one reached as 127.0.0.1: it is
// signed by a trusted CA but names only localhost, so it is not trusted for
// that host.
#pragma once

#include <chrono>
#include <string>
#include <vector>

#include "text/text.h"

enum class Fault {
  ConnectionRefused,
  UntrustedCertificate,
  UnresolvableHost,
  ClosedBeforeReply,
  ClosedAfterStatusLine,
  ClosedMidBody,
  SlowerThanTimeOut,
  EndlessDrip,
  Body100MB,
  Head1MB,
  RandomBodyWithoutZero,
  RandomBodyWithZero,
  UnknownMetaCharset,
  InvalidUtf8,
};

// Every fault, in table order; and its name for test names.
std::vector<Fault> AllFaults();
std::string FaultName(Fault fault);

struct FaultRow {
  // The conversion host ("host:port") and the program copy built with it.
  std::string host;
  std::string programPath;
  // The long address the conversion sends; it holds the tag, by which the
  // service's record of the request is found.
  std::string longAddress;
  std::string tag;

  // Through WebRequest: the time-out given there (0 = the default 30 s, the
  // one the program uses).
  int requestTimeout = 0;
  // A failed exchange writes only statusText and returns empty text.
  bool fails = false;
  Text status;  // statusText: a failure message or the response's status
  Text result;  // the returned text
  Bytes bytes;  // responseBytes, when the exchange did not fail
  // The raw head ends with its empty line, unless the reply was cut inside it.
  bool headComplete = true;

  // Through the window: what the output box shows, and how long it may take.
  std::string shows;
  std::chrono::seconds windowLimit{20};
};

// Builds the row; it asks the local service for its link host.
FaultRow MakeFaultRow(Fault fault);

// The request address of a conversion of longAddress through host.
Text ConversionAddress(const std::string& host, const std::string& longAddress);

// The failure texts, in code page 936.
extern const Text kSendFailed;       // 711
extern const Text kNoResponse;       // 712
