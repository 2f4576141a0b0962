// One machine, described once, given to the scan twice: as a FakeMachine and
// as the registry export that Windows would write of it. Both must give the
// same report, byte for byte.
#include <gtest/gtest.h>

#include "export_files.h"
#include "fake_machine.h"
#include "offline/export_machine.h"
#include "offline/packed_guid.h"
#include "report/report.h"
#include "scan/installer_catalogue.h"
#include "scan/release93_catalogue.h"
#include "scan/release94_keys.h"
#include "scan/scan.h"
#include "scan/wow64_catalogue.h"

namespace {

const char kUserSid[] = "S-1-5-21-7-7-7-1000";
const char kInstaller[] = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Installer";

struct DescribedValue {
    View view;
    std::string path;  // under HKEY_LOCAL_MACHINE, as the program asks for it
    std::string name;
    std::string text;
};

struct DescribedProduct {
    std::string code;
    std::uint32_t context;
};

struct DescribedPatch {
    std::string product;
    std::string patch;
    std::string displayName;
    std::uint32_t context;
};

struct MachineDescription {
    const char* name;
    bool wow64;
    std::vector<DescribedValue> values;  // keys made in this order; subkeys of one key sorted
    std::vector<DescribedProduct> products;
    std::vector<DescribedPatch> patches;
};

void PrintTo(const MachineDescription& described, std::ostream* os)
{
    *os << described.name;
}

FakeMachine& Describe(const MachineDescription& described, FakeMachine& machine)
{
    for (const DescribedValue& value : described.values)
        machine.SetString(value.path, value.name, value.text, value.view);
    for (const DescribedProduct& product : described.products)
        machine.InstallProduct(product.code, product.context);
    for (const DescribedPatch& patch : described.patches)
        machine.ApplyPatch(patch.product, patch.patch, patch.displayName, patch.context);
    return machine;
}

std::string Quoted(const std::string& text)
{
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\')
            quoted += '\\';
        quoted += c;
    }
    return quoted + "\"";
}

std::string Packed(const std::string& code)
{
    return *PackGuid(code);
}

// Where the installer registers a product in a context, and the SID of its
// UserData.
std::string ProductKey(const DescribedProduct& product)
{
    const std::string packed = Packed(product.code);
    if (product.context == kContextMachine)
        return "HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\Installer\\Products\\" + packed;
    if (product.context == kContextUserUnmanaged)
        return "HKEY_CURRENT_USER\\Software\\Microsoft\\Installer\\Products\\" + packed;
    return std::string(kInstaller) + "\\Managed\\" + kUserSid + "\\Installer\\Products\\" + packed;
}

std::string UserData(std::uint32_t context)
{
    return std::string(kInstaller) + "\\UserData\\" + (context == kContextMachine ? "S-1-5-18" : kUserSid);
}

// The export: the registry values in their views, then the installer's
// registration of every product and applied patch.
std::string Export(const MachineDescription& described)
{
    std::string text;
    for (const DescribedValue& value : described.values) {
        std::string path = value.path;
        if (described.wow64 && value.view == View::Bits32)
            path.insert(path.find('\\'), "\\Wow6432Node");
        text += "[HKEY_LOCAL_MACHINE\\" + path + "]\n" + Quoted(value.name) + "=" + Quoted(value.text) + "\n";
    }
    for (const DescribedProduct& product : described.products) {
        const std::string packed = Packed(product.code);
        std::string list;
        std::string patches;
        for (const DescribedPatch& patch : described.patches) {
            if (patch.product != product.code || patch.context != product.context)
                continue;
            const std::string packedPatch = Packed(patch.patch);
            for (const char c : packedPatch + '\0')
                list += (list.empty() ? "" : ",") + std::string(1, "0123456789abcdef"[c >> 4])
                        + "0123456789abcdef"[c & 15] + ",00";
            patches += "[" + UserData(product.context) + "\\Products\\" + packed + "\\Patches\\"
                       + packedPatch + "]\n\"State\"=dword:00000001\n\"DisplayName\"="
                       + Quoted(patch.displayName) + "\n";
            patches += "[" + UserData(product.context) + "\\Patches\\" + packedPatch
                       + "]\n\"LocalPackage\"=\"C:\\\\Windows\\\\Installer\\\\1.msp\"\n";
        }
        text += "[" + ProductKey(product) + "]\n\"ProductName\"=\"p\"\n";
        if (!list.empty())
            text += "[" + ProductKey(product) + "\\Patches]\n\"Patches\"=hex(7):" + list + ",00,00\n";
        text += "[" + UserData(product.context) + "\\Products\\" + packed + "]\n" + patches;
    }
    return text;
}

const Release93Product& kDesktop = kRelease93Catalogue[0];
const Release93Product& kEvaluation = kRelease93Catalogue[1];
const char kPatchA[] = "{00000000-0000-0000-0000-00000000000A}";
const char kPatchB[] = "{00000000-0000-0000-0000-00000000000B}";

const MachineDescription kMachines[] = {
    {"Release93WithPatchesAndHotFixes",
     false,
     {{View::Bits32, kDesktop.registryKey, "ProductName", "Kavren Desktop"},
      {View::Bits32, kDesktop.registryKey, "SPNumber", "3"},
      {View::Bits32, "SOFTWARE\\TOLV\\QFE\\Desktop\\SP3", "Q2", "Hot fix two"},
      {View::Bits32, "SOFTWARE\\TOLV\\QFE\\Desktop\\SP3", "Q1", "Hot fix \"one\" 100%"}},
     {{kDesktop.productCode, kContextMachine}},
     {{kDesktop.productCode, kPatchA, "Kavren Desktop 9.3.1", kContextMachine},
      {kDesktop.productCode, kPatchB, "Desktop fix", kContextMachine}}},
    {"SixtyFourBitMachineThroughEveryPass",
     true,
     {{View::Bits32, kDesktop.registryKey, "ProductName", "Kavren Desktop"},
      {View::Bits32, kDesktop.registryKey, "SPNumber", "2"},
      {View::Bits64, kDesktop.registryKey, "SPNumber", "5"},
      {View::Bits32, "SOFTWARE\\TOLV\\QFE\\Desktop\\SP2", "Q1", "32-bit hot fix"},
      {View::Bits64, "SOFTWARE\\TOLV\\QFE\\Desktop\\SP2", "Q1", "64-bit hot fix"},
      {View::Bits64, kWow64Catalogue[0].registryKey, "ProductName", "Kavren Belsar for Oracle10g 64"},
      {View::Bits64, kWow64Catalogue[0].registryKey, "RealVersion", "9.3"},
      {View::Bits64, kWow64Catalogue[0].registryKey, "SPNumber", "1"},
      {View::Bits64, "SOFTWARE\\TOLV\\QFE\\BSROra10g64\\SP1", "Q9", "Gateway hot fix"},
      {View::Bits32, kRelease94Keys[0].registryKey, "ProductName", "Kavren Desktop 9.4"},
      {View::Bits32, std::string(kRelease94Keys[0].registryKey) + "\\Updates\\U1", "Name", "Update one"},
      {View::Bits32, std::string(kRelease94Keys[0].registryKey) + "\\Updates\\U2", "Other", "no name"},
      {View::Bits32, std::string(kRelease94Keys[0].registryKey) + "\\Updates\\U3", "Name", "Update three"},
      {View::Bits64, kBelsarKeys[0].registryKey, "ProductName", "Kavren Belsar for DB2"},
      {View::Bits64, kBelsarKeys[0].registryKey, "RealVersion", "9.4.1"}},
     {{kDesktop.productCode, kContextMachine}, {kInstallerCatalogue[0].productCode, kContextMachine}},
     {{kInstallerCatalogue[0].productCode, kPatchA, "9.2 fix", kContextMachine}}},
    {"PerUserInstallations",
     false,
     {{View::Bits32, kDesktop.registryKey, "ProductName", "Kavren Desktop"},
      {View::Bits32, kDesktop.registryKey, "SPNumber", "3"}},
     {{kDesktop.productCode, kContextUserUnmanaged}, {kEvaluation.productCode, kContextUserManaged}},
     {{kDesktop.productCode, kPatchA, "Kavren Desktop 9.3.1", kContextUserUnmanaged},
      {kEvaluation.productCode, kPatchB, "Managed fix", kContextUserManaged}}},
    {"NothingInstalled", true, {{View::Bits32, "SOFTWARE\\TOLV\\Other", "X", "1"}}, {}, {}},
};

class OfflineParity : public testing::TestWithParam<MachineDescription> {};

TEST_P(OfflineParity, ExportGivesTheSameReport)
{
    const MachineDescription& described = GetParam();
    FakeMachine fake(described.wow64);
    Inventory expected;
    ScanInventory(Describe(described, fake), expected);

    RegistryTree tree;
    ReadBytes(MakeExport(ExportKind::Version5Utf16, Export(described)), tree);
    ASSERT_EQ(HasWow6432Node(tree), described.wow64);
    const ExportMachine machine(tree, Cp1252(), HasWow6432Node(tree), kUserSid);
    Inventory inventory;
    ScanInventory(machine, inventory);
    EXPECT_EQ(machine.openKeys(), 0u);

    EXPECT_EQ(FormatReport(inventory), FormatReport(expected));
}

INSTANTIATE_TEST_SUITE_P(Machines, OfflineParity, testing::ValuesIn(kMachines),
                         [](const auto& info) { return std::string(info.param.name); });

// The scenarios above must find something, or the comparison proves little.
TEST(OfflineParity, ScenariosFindWhatTheyDescribe)
{
    const std::size_t entries[] = {1, 5, 2, 0};
    for (std::size_t i = 0; i < std::size(kMachines); ++i) {
        FakeMachine fake(kMachines[i].wow64);
        Inventory inventory;
        ScanInventory(Describe(kMachines[i], fake), inventory);
        EXPECT_EQ(inventory.size(), entries[i]) << kMachines[i].name;
    }
    FakeMachine fake;
    Inventory inventory;
    ScanInventory(Describe(kMachines[0], fake), inventory);
    EXPECT_EQ(FormatReport(inventory), "Kavren Desktop 9.3\r\n\tKavren Desktop 9.3.1\r\n\tDesktop fix\r\n"
                                       "\tHot fix two\r\n\tHot fix \"one\" 100%\r\n\r\n");
}

}  // namespace
