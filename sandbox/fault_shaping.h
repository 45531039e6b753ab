#pragma once

#include <string>
#include <string_view>

#include "form_data.h"
#include "sandbox_server.h"

namespace sandbox {

// Breaks the markers clients look for in an answer (UTF-8 HTML) as the fault asks.
void BreakMarkers(std::string& html, MarkerFault fault);

// Faults from query parameters, for GET /_sandbox/faults and the command line:
// page, count, drop, garbage, stall (ms or "forever"), stall_point (answer|mid),
// redirect_loop, redirect (URL), status, markers (missing|wrongcase),
// token (notonlogin|nowhere), wrong_charset, huge (bytes), latency (ms).
Faults FaultsFromParameters(const NameValues& parameters);

// Bytes that are not HTTP, for the garbage fault.
std::string GarbageBytes();

}  // namespace sandbox
