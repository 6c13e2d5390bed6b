// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "HidReportTransport.h"

#include <functional>
#include <memory>

// Makes the report transport for the next attempt to open the meter: hidapi for a real meter,
// the virtual meter in the demo. A null transport means there is no meter to open.
using TransportFactory = std::function<std::unique_ptr<HidReportTransport>()>;
