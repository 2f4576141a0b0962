#include "report/report.h"

#include <cstdio>
#include <memory>

#include "scan/scan.h"

namespace {

// Stores a line feed as CR LF, as text mode does, also inside a text.
void AppendText(std::string& out, const std::string& text)
{
    for (const char c : text) {
        if (c == '\n')
            out += '\r';
        out += c;
    }
}

void AppendLine(std::string& out, const std::string& text)
{
    AppendText(out, text);
    out += "\r\n";
}

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

}  // namespace

std::string FormatReport(const Inventory& inventory)
{
    if (inventory.empty())
        return kNoProductsText;
    std::string out;
    for (const InventoryEntry& entry : inventory) {
        AppendLine(out, entry.title);
        for (const std::string& line : entry.details)
            AppendLine(out, '\t' + line);
        out += "\r\n";
    }
    return out;
}

ReportStatus WriteReport(const Query& query, Inventory& inventory, const std::string& fileName,
                         const MessageSink& tell)
{
    ScanInventory(query, inventory);

    // Binary mode: the line ends are already CR LF.
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(fileName.c_str(), "wb"));
    if (!file) {
        tell("Could not open " + fileName);
        return ReportStatus::CouldNotOpen;
    }
    const std::string text = FormatReport(inventory);
    const bool written = std::fwrite(text.data(), 1, text.size(), file.get()) == text.size();
    // A full disk may show only when the buffer is flushed at close.
    const bool closed = std::fclose(file.release()) == 0;
    if (!written || !closed) {
        tell("Could not write " + fileName);
        return ReportStatus::CouldNotWrite;
    }
    return ReportStatus::Written;
}
