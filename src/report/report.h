// The text report: one block per inventory entry, as a Windows text-mode
// stream stores it, on every platform.
#pragma once

#include <functional>
#include <string>

#include "scan/inventory.h"
#include "scan/query.h"

enum class ReportStatus { Written, CouldNotOpen, CouldNotWrite };

// Shows one of the report's failure messages to the user.
using MessageSink = std::function<void(const std::string& message)>;

// The report's bytes: each title, a tab before each detail line, an empty line
// after each block; CR LF line ends. Texts are copied as data, never as a format.
std::string FormatReport(const Inventory& inventory);

// Scans the machine afresh, then writes the report to the file named exactly
// as given. A file that cannot be opened gives "Could not open <name>", one
// that cannot be written in full gives "Could not write <name>".
ReportStatus WriteReport(const Query& query, Inventory& inventory, const std::string& fileName,
                         const MessageSink& tell);
