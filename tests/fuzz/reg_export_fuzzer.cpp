// libFuzzer target: any bytes as registry exports, read and then scanned.
// The first byte chooses the code page, the size of each read and of the
// reader's buffer (so that lines cross refills and outgrow the buffer), and
// whether the rest is one export or two.
#include <cstddef>
#include <cstdint>
#include <string>

#include "offline/export_machine.h"
#include "offline/reg_export.h"
#include "report/report.h"
#include "scan/scan.h"

namespace {

class ChunkedSource : public ByteSource {
public:
    ChunkedSource(const std::uint8_t* data, std::size_t size, std::size_t chunk)
        : data_(data), size_(size), chunk_(chunk) {}
    std::size_t Read(unsigned char* buffer, std::size_t size) override
    {
        std::size_t count = size < chunk_ ? size : chunk_;
        if (count > size_ - pos_)
            count = size_ - pos_;
        for (std::size_t i = 0; i < count; ++i)
            buffer[i] = data_[pos_ + i];
        pos_ += count;
        return count;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t chunk_;
    std::size_t pos_ = 0;
};

const char* const kCodePages[] = {"1252", "utf-8", "1251", "874"};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const std::uint8_t control = data[0];
    const CodePage codePage = *CodePage::Named(kCodePages[control & 3]);
    const std::size_t chunk = 1 + ((control >> 2) & 15) * 37;
    const std::size_t bufferBytes = (control & 0x80) ? 16 : 256;
    const bool twoFiles = (control & 0x40) != 0;
    ++data;
    --size;

    // Two exports: split where the first "\n\n" ends, or not at all.
    std::size_t split = size;
    if (twoFiles) {
        for (std::size_t i = 0; i + 1 < size; ++i) {
            if (data[i] == '\n' && data[i + 1] == '\n') {
                split = i + 2;
                break;
            }
        }
    }
    RegistryTree tree;
    try {
        ChunkedSource first(data, split, chunk);
        ReadExport(first, "first.reg", codePage, tree, bufferBytes);
        ChunkedSource second(data + split, size - split, chunk);
        if (split < size)
            ReadExport(second, "second.reg", codePage, tree, bufferBytes);
    } catch (const ExportError&) {
        // A malformed export is reported; what was read so far is still scanned.
    }
    const ExportMachine machine(tree, codePage, HasWow6432Node(tree), "S-1-5-21-1-1-1-1000");
    Inventory inventory;
    ScanInventory(machine, inventory);
    if (FormatReport(inventory).empty() || machine.openKeys() != 0)
        __builtin_trap();  // a report is never empty; the scan closes every key
    return 0;
}
