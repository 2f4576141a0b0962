#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "export_files.h"
#include "offline/export_machine.h"
#include "offline/packed_guid.h"

namespace {

using namespace std::string_literals;

constexpr std::uint32_t kKeyEnumerateSubKeys = 0x0008;
constexpr std::uint32_t kKeyWow64_32Key = 0x0200;

// A machine read from one export.
struct Machine {
    Machine(const std::string& body, bool wow64, const std::string& userSid = "",
            const char* codePage = "1252")
        : codePage(*CodePage::Named(codePage))
    {
        ReadBytes(MakeExport(ExportKind::Version5Utf16, body), tree, this->codePage);
        query = std::make_unique<ExportMachine>(tree, this->codePage, wow64, userSid);
    }
    ~Machine() { EXPECT_EQ(query->openKeys(), 0u) << "every key that opened is closed"; }

    // The text of a value, or "(absent)".
    std::string Read(const char* path, std::uint32_t access, const char* name = "Where") const
    {
        const ScopedKey key = OpenKey(*query, kHkeyLocalMachine, path, access);
        char buffer[256];
        return key && ReadValue(*query, key, name, buffer) ? buffer : "(absent)";
    }

    CodePage codePage;
    RegistryTree tree;
    std::unique_ptr<ExportMachine> query;
};

const char kViews[] = "[HKEY_LOCAL_MACHINE\\SOFTWARE\\TOLV\\Views]\n\"Where\"=\"64-bit view\"\n"
                      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Wow6432Node\\TOLV\\Views]\n"
                      "\"Where\"=\"32-bit view\"\n";

TEST(RegistryViews, FollowTheMachineAndTheAccessMask)
{
    const struct {
        bool wow64;
        const char* path;
        std::uint32_t access;
        const char* where;
    } cases[] = {
        {true, "SOFTWARE\\TOLV\\Views", kKeyQueryValue, "32-bit view"},
        {true, "software\\tolv\\VIEWS", kKeyQueryValue, "32-bit view"},
        {true, "SOFTWARE\\TOLV\\Views", kKeyQueryValue | kKeyWow64_64Key, "64-bit view"},
        {true, "SOFTWARE\\TOLV\\Views", kKeyRead | kKeyWow64_64Key, "64-bit view"},
        {true, "SOFTWARE\\TOLV\\Views", kKeyQueryValue | kKeyWow64_32Key, "32-bit view"},
        {true, "SOFTWARE\\TOLV\\Views", kKeyQueryValue | kKeyWow64_32Key | kKeyWow64_64Key, "(absent)"},
        {true, "SOFTWARE\\Wow6432Node\\TOLV\\Views", kKeyQueryValue, "32-bit view"},
        {true, "SOFTWARE\\Wow6432Node\\TOLV\\Views", kKeyQueryValue | kKeyWow64_64Key, "32-bit view"},
        {true, "SOFTWARE\\TOLV\\Views\\", kKeyQueryValue, "32-bit view"},
        {true, "SOFTWARE\\TOLV\\\\Views", kKeyQueryValue, "(absent)"},
        {true, "SOFTWARE\\TOLV\\Views", 0, "(absent)"},  // opens, but grants no reading
        {false, "SOFTWARE\\TOLV\\Views", kKeyQueryValue, "64-bit view"},
        {false, "SOFTWARE\\TOLV\\Views", kKeyQueryValue | kKeyWow64_64Key, "64-bit view"},
        {false, "SOFTWARE\\Wow6432Node\\TOLV\\Views", kKeyQueryValue, "32-bit view"},
    };
    for (const auto& c : cases) {
        const Machine machine(kViews, c.wow64);
        EXPECT_EQ(machine.query->IsWow64Process(), c.wow64);
        EXPECT_EQ(machine.Read(c.path, c.access), c.where)
            << c.path << " access 0x" << std::hex << c.access << (c.wow64 ? " on 64-bit" : "");
    }
}

TEST(RegistryViews, SubkeysLieInTheirParentsView)
{
    const Machine machine(kViews, true);
    const ExportMachine& query = *machine.query;
    const ScopedKey tolv64 =
        OpenKey(query, kHkeyLocalMachine, "SOFTWARE\\TOLV", kKeyRead | kKeyWow64_64Key);
    const ScopedKey software32 = OpenKey(query, kHkeyLocalMachine, "SOFTWARE", kKeyRead);
    const ScopedKey machineRoot = OpenKey(query, kHkeyLocalMachine, "", kKeyRead);
    char where[256];
    const ScopedKey views64 = OpenKey(query, tolv64.get(), "Views", kKeyQueryValue);
    ASSERT_TRUE(ReadValue(query, views64, "Where", where));
    EXPECT_STREQ(where, "64-bit view");
    const ScopedKey views32 = OpenKey(query, software32.get(), "TOLV\\Views", kKeyQueryValue);
    ASSERT_TRUE(ReadValue(query, views32, "Where", where));
    EXPECT_STREQ(where, "32-bit view");
    const ScopedKey fromRoot = OpenKey(query, machineRoot.get(), "SOFTWARE\\TOLV\\Views", kKeyQueryValue);
    ASSERT_TRUE(ReadValue(query, fromRoot, "Where", where));
    EXPECT_STREQ(where, "32-bit view");
}

TEST(RegistryViews, AnExportWithWow6432NodeIsA64BitMachine)
{
    const struct {
        const char* body;
        bool wow64;
        bool only32BitView;
    } cases[] = {
        {kViews, true, false},
        {"[HKEY_LOCAL_MACHINE\\SOFTWARE\\TOLV\\Views]\n", false, false},
        {"[HKEY_LOCAL_MACHINE\\SOFTWARE\\WOW6432NODE]\n", true, false},
        {"[HKEY_LOCAL_MACHINE\\SOFTWARE\\Wow6432Node\\TOLV\\X]\n", true, false},
        {"[HKEY_LOCAL_MACHINE\\SOFTWARE\\Wow6432Node\\X]\n[-HKEY_LOCAL_MACHINE\\SOFTWARE\\Wow6432Node]\n", false, false},
        // What a 32-bit reg.exe exports of 64-bit Windows without /reg:64.
        {"[HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\Wow6432Node]\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\Wow6432Node\\AppId]\n",
         false, true},
        {"[HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\Wow6432Node]\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Wow6432Node]\n", true, false},
    };
    for (const auto& c : cases) {
        RegistryTree tree;
        ReadBytes(MakeExport(ExportKind::Version5Utf16, c.body), tree);
        EXPECT_EQ(HasWow6432Node(tree), c.wow64) << c.body;
        EXPECT_EQ(LooksLike32BitView(tree), c.only32BitView) << c.body;
    }
}

const char kOrder[] = "[HKEY_LOCAL_MACHINE\\SOFTWARE\\TOLV\\Order\\beta]\n"
                      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\TOLV\\Order\\A_x]\n"
                      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\TOLV\\Order\\Alpha]\n"
                      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\TOLV\\Order\\AB]\n"
                      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\TOLV\\Order\\ALPHA2]\n"
                      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\TOLV\\Order]\n"
                      "\"zeta\"=\"1\"\n\"Alpha\"=\"2\"\n\"mid\"=\"3\"\n";

std::vector<std::string> Subkeys(const Query& query, const ScopedKey& key)
{
    std::vector<std::string> names;
    for (std::uint32_t index = 0;; ++index) {
        char name[256];
        std::uint32_t chars = sizeof name;
        const QueryStatus status = query.RegEnumKeyExA(key.get(), index, name, &chars);
        if (status != kErrorSuccess) {
            EXPECT_EQ(status, kErrorNoMoreItems);
            return names;
        }
        EXPECT_EQ(chars, std::strlen(name));
        names.push_back(name);
    }
}

TEST(RegistryEnumeration, SubkeysSortWithoutCaseAndValuesStayInFileOrder)
{
    const Machine machine(kOrder, false);
    const ExportMachine& query = *machine.query;
    const ScopedKey order = OpenKey(query, kHkeyLocalMachine, "SOFTWARE\\TOLV\\Order", kKeyRead);
    // Upper case decides, as in the registry: "ALPHA" before "A_X" (Wine,
    // comparing in lower case, puts "a_x" first).
    EXPECT_EQ(Subkeys(query, order),
              (std::vector<std::string>{"AB", "Alpha", "ALPHA2", "A_x", "beta"}));

    std::uint32_t count = 0;
    ASSERT_EQ(query.RegQueryInfoKeyA(order.get(), &count), kErrorSuccess);
    ASSERT_EQ(count, 3u);
    const char* expected[] = {"zeta", "Alpha", "mid"};
    for (std::uint32_t index = 0; index < count; ++index) {
        char name[256];
        char data[256];
        std::uint32_t nameChars = sizeof name;
        std::uint32_t dataSize = sizeof data;
        ASSERT_EQ(query.RegEnumValueA(order.get(), index, name, &nameChars, data, &dataSize),
                  kErrorSuccess);
        EXPECT_STREQ(name, expected[index]);
        EXPECT_EQ(nameChars, std::strlen(expected[index]));
        EXPECT_EQ(dataSize, 2u);
    }
    char name[256];
    char data[256];
    std::uint32_t nameChars = sizeof name;
    std::uint32_t dataSize = sizeof data;
    EXPECT_EQ(query.RegEnumValueA(order.get(), 3, name, &nameChars, data, &dataSize), kErrorNoMoreItems);
}

TEST(RegistryEnumeration, NeedsTheRightToEnumerate)
{
    const Machine machine(kOrder, false);
    const ExportMachine& query = *machine.query;
    const ScopedKey valuesOnly = OpenKey(query, kHkeyLocalMachine, "SOFTWARE\\TOLV\\Order", kKeyQueryValue);
    const ScopedKey keysOnly =
        OpenKey(query, kHkeyLocalMachine, "SOFTWARE\\TOLV\\Order", kKeyEnumerateSubKeys);
    char name[256];
    std::uint32_t chars = sizeof name;
    EXPECT_EQ(query.RegEnumKeyExA(valuesOnly.get(), 0, name, &chars), kErrorAccessDenied);
    chars = sizeof name;
    EXPECT_EQ(query.RegEnumKeyExA(keysOnly.get(), 0, name, &chars), kErrorSuccess);
    std::uint32_t count = 0;
    EXPECT_EQ(query.RegQueryInfoKeyA(keysOnly.get(), &count), kErrorAccessDenied);
}

TEST(RegistryBuffers, FollowTheBufferContract)
{
    const std::string fits(255, 'f');
    const std::string tooLong(256, 't');
    const Machine machine("[HKEY_LOCAL_MACHINE\\SOFTWARE\\TOLV\\B]\n\"Fits\"=\"" + fits
                              + "\"\n\"TooLong\"=\"" + tooLong + "\"\n\"Dword\"=dword:00000031\n"
                              + "\"Bin\"=hex:41,42\n\"Full\"=hex:" + [] {
                                    std::string hex = "41";
                                    for (int i = 1; i < 256; ++i)
                                        hex += ",41";
                                    return hex;
                                }() + "\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\TOLV\\B\\" + std::string(256, 'k') + "]\n",
                          false);
    const char* key = "SOFTWARE\\TOLV\\B";
    EXPECT_EQ(machine.Read(key, kKeyRead, "Fits"), fits);
    EXPECT_EQ(machine.Read(key, kKeyRead, "TooLong"), "(absent)");
    EXPECT_EQ(machine.Read(key, kKeyRead, "Dword"), "1");
    EXPECT_EQ(machine.Read(key, kKeyRead, "Bin"), "AB");
    EXPECT_EQ(machine.Read(key, kKeyRead, "Full"), "(absent)");  // no room for the zero
    EXPECT_EQ(machine.Read(key, kKeyRead, "Missing"), "(absent)");

    const ExportMachine& query = *machine.query;
    const ScopedKey open = OpenKey(query, kHkeyLocalMachine, key, kKeyRead);
    std::uint32_t size = 0;
    EXPECT_EQ(query.RegQueryValueExA(open.get(), "TooLong", nullptr, &size), kErrorSuccess);
    EXPECT_EQ(size, 257u);
    char name[256];
    std::uint32_t chars = sizeof name;
    EXPECT_EQ(query.RegEnumKeyExA(open.get(), 0, name, &chars), kErrorMoreData);
}

TEST(RegistryHandles, ClosedOrUnknownHandlesAreRefused)
{
    const Machine machine(kViews, false);
    const ExportMachine& query = *machine.query;
    RegKey key = 0;
    ASSERT_EQ(query.RegOpenKeyExA(kHkeyLocalMachine, "SOFTWARE\\TOLV\\Views", 0, kKeyRead, &key),
              kErrorSuccess);
    EXPECT_EQ(query.openKeys(), 1u);
    EXPECT_EQ(query.RegCloseKey(key), kErrorSuccess);
    std::uint32_t count = 0;
    EXPECT_EQ(query.RegQueryInfoKeyA(key, &count), kErrorInvalidHandle);
    EXPECT_EQ(query.RegCloseKey(key), kErrorInvalidHandle);
    RegKey child = 0;
    EXPECT_EQ(query.RegOpenKeyExA(key, "X", 0, kKeyRead, &child), kErrorInvalidHandle);
    EXPECT_EQ(query.RegCloseKey(kHkeyLocalMachine), kErrorSuccess);
}

TEST(RegistryNames, PassThroughTheCodePage)
{
    const std::string body = "[HKEY_LOCAL_MACHINE\\SOFTWARE\\TOLV\\Caf\xC3\xA9]\n\"\xC3\xA9t\xC3\xA9\"=\"x\"\n";
    const struct {
        const char* codePage;
        const char* keyName;
        const char* valueName;
    } cases[] = {
        {"1252", "Caf\xE9", "\xE9t\xE9"},
        {"utf-8", "Caf\xC3\xA9", "\xC3\xA9t\xC3\xA9"},
    };
    for (const auto& c : cases) {
        const Machine machine(body, false, "", c.codePage);
        const ExportMachine& query = *machine.query;
        const ScopedKey tolv = OpenKey(query, kHkeyLocalMachine, "SOFTWARE\\TOLV", kKeyRead);
        EXPECT_EQ(Subkeys(query, tolv), std::vector<std::string>{c.keyName});
        EXPECT_EQ(machine.Read(("SOFTWARE\\TOLV\\"s + c.keyName).c_str(), kKeyRead, c.valueName), "x")
            << c.codePage;
    }
}

// Windows Installer, from its registration.
const char kUser[] = "S-1-5-21-1-2-3-1000";
const char kOtherUser[] = "S-1-5-21-1-2-3-1001";
const char kMachineProduct[] = "{A8EF3AF3-4F3E-5E3F-BD8A-3EC0BE135D99}";
const char kUserProduct[] = "{52FB15C9-3A7B-52AA-BC10-47565E3E0C55}";
const char kManagedProduct[] = "{8A26FF34-C079-5476-B865-DE804187CDBA}";
const char kApplied[] = "{00000000-0000-0000-0000-0000000000A1}";
const char kSuperseded[] = "{00000000-0000-0000-0000-0000000000A2}";
const char kNoPackage[] = "{00000000-0000-0000-0000-0000000000A3}";  // not registered for the machine
const char kNoPackageValue[] = "{00000000-0000-0000-0000-0000000000A6}";
const char kNoName[] = "{00000000-0000-0000-0000-0000000000A4}";
const char kNoState[] = "{00000000-0000-0000-0000-0000000000A5}";
const char kUserPatch[] = "{00000000-0000-0000-0000-0000000000B1}";
const char kManagedPatch[] = "{00000000-0000-0000-0000-0000000000C1}";
const char kMachinePatchOfManaged[] = "{00000000-0000-0000-0000-0000000000C2}";

std::string Packed(const char* code)
{
    return *PackGuid(code);
}

const std::string kInstaller = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Installer";

// A product's registration in one context, with its applied patches.
std::string Registration(const std::string& productsKey, const std::string& sid, const char* product,
                         std::vector<std::pair<const char*, std::string>> patches)
{
    const std::string packed = Packed(product);
    std::string text = "[" + productsKey + "\\" + packed + "]\n\"ProductName\"=\"p\"\n";
    std::string list;
    for (const auto& patch : patches)
        list += Packed(patch.first) + '\0';
    list += '\0';
    if (!patches.empty()) {
        text += "[" + productsKey + "\\" + packed + "\\Patches]\n\"Patches\"=hex(7):";
        for (std::size_t i = 0; i < list.size(); ++i) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "%s%02x,00", i ? "," : "", static_cast<unsigned char>(list[i]));
            text += hex;
        }
        text += "\n";
    }
    text += "[" + kInstaller + "\\UserData\\" + sid + "\\Products\\" + packed + "]\n";
    for (const auto& patch : patches) {
        // patch.second: the lines of the product's patch key
        text += "[" + kInstaller + "\\UserData\\" + sid + "\\Products\\" + packed + "\\Patches\\"
                + Packed(patch.first) + "]\n" + patch.second;
    }
    return text;
}

std::string PatchPackage(const std::string& sid, const char* patch)
{
    return "[" + kInstaller + "\\UserData\\" + sid + "\\Patches\\" + Packed(patch)
           + "]\n\"LocalPackage\"=\"C:\\\\Windows\\\\Installer\\\\x.msp\"\n";
}

std::string InstallerExport()
{
    std::string text = Registration(
        "HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\Installer\\Products", "S-1-5-18", kMachineProduct,
        {{kApplied, "\"State\"=dword:00000001\n\"DisplayName\"=\"Fix one\"\n"},
         {kSuperseded, "\"State\"=dword:00000002\n\"DisplayName\"=\"Old fix\"\n"},
         {kNoPackage, "\"State\"=dword:00000001\n\"DisplayName\"=\"No package\"\n"},
         {kNoName, "\"State\"=dword:00000001\n"},
         {kNoState, "\"DisplayName\"=\"No state\"\n"},
         {kNoPackageValue, "\"State\"=dword:00000002\n\"DisplayName\"=\"Key only\"\n"}});
    for (const char* patch : {kApplied, kSuperseded, kNoName, kNoState})
        text += PatchPackage("S-1-5-18", patch);
    text += "[" + kInstaller + "\\UserData\\S-1-5-18\\Patches\\" + Packed(kNoPackageValue) + "]\n";
    text += Registration("HKEY_CURRENT_USER\\Software\\Microsoft\\Installer\\Products", kUser,
                         kUserProduct,
                         {{kUserPatch, "\"State\"=dword:00000001\n\"DisplayName\"=\"User fix\"\n"}});
    text += PatchPackage(kUser, kUserPatch);
    text += Registration(kInstaller + "\\Managed\\" + kUser + "\\Installer\\Products", kUser,
                         kManagedProduct,
                         {{kManagedPatch, "\"State\"=dword:00000001\n\"DisplayName\"=\"Managed fix\"\n"}});
    text += PatchPackage(kUser, kManagedPatch);
    text += Registration("HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\Installer\\Products", "S-1-5-18",
                         kManagedProduct,
                         {{kMachinePatchOfManaged, "\"State\"=dword:00000001\n\"DisplayName\"=\"Machine fix\"\n"}});
    text += PatchPackage("S-1-5-18", kMachinePatchOfManaged);
    // Another user's registration, which the current user does not see.
    text += Registration(kInstaller + "\\Managed\\" + kOtherUser + "\\Installer\\Products", kOtherUser,
                         kApplied, {});
    return text;
}

struct Found {
    std::string code;
    std::uint32_t context;
    bool operator==(const Found& other) const { return code == other.code && context == other.context; }
};

void PrintTo(const Found& found, std::ostream* os)
{
    *os << found.code << " in context " << found.context;
}

std::vector<Found> Products(const Query& query, const char* code, std::uint32_t context,
                            const char* sid = nullptr)
{
    std::vector<Found> found;
    GuidBuffer installed = "";
    std::uint32_t installedContext = 0;
    for (std::uint32_t index = 0;
         query.MsiEnumProductsExA(code, sid, context, index, installed, &installedContext) == kErrorSuccess;
         ++index)
        found.push_back({installed, installedContext});
    return found;
}

std::vector<Found> Patches(const Query& query, const char* code, std::uint32_t filter = kPatchStateApplied)
{
    std::vector<Found> found;
    GuidBuffer patch = "";
    GuidBuffer target = "";
    std::uint32_t targetContext = 0;
    for (std::uint32_t index = 0;
         query.MsiEnumPatchesExA(code, nullptr, kContextAll, filter, index, patch, target,
                                 &targetContext) == kErrorSuccess;
         ++index) {
        if (code != nullptr) {
            EXPECT_STREQ(target, code);
        }
        found.push_back({patch, targetContext});
    }
    return found;
}

TEST(Installer, FindsProductsInEveryContextOfTheCurrentUser)
{
    const Machine machine(InstallerExport(), false, kUser);
    const Query& query = *machine.query;
    EXPECT_EQ(Products(query, kMachineProduct, kContextAll),
              (std::vector<Found>{{kMachineProduct, kContextMachine}}));
    EXPECT_EQ(Products(query, kUserProduct, kContextAll),
              (std::vector<Found>{{kUserProduct, kContextUserUnmanaged}}));
    EXPECT_EQ(Products(query, kManagedProduct, kContextAll),
              (std::vector<Found>{{kManagedProduct, kContextUserManaged},
                                  {kManagedProduct, kContextMachine}}));
    EXPECT_TRUE(Products(query, kManagedProduct, kContextUserUnmanaged).empty());
    EXPECT_TRUE(Products(query, kApplied, kContextAll).empty()) << "another user's product";
    EXPECT_EQ(Products(query, kApplied, kContextUserManaged, kOtherUser),
              (std::vector<Found>{{kApplied, kContextUserManaged}}));
    EXPECT_EQ(Products(query, nullptr, kContextAll).size(), 4u);
    // Lower-case codes are codes too; malformed ones are refused.
    EXPECT_EQ(Products(query, "{a8ef3af3-4f3e-5e3f-bd8a-3ec0be135d99}", kContextAll).size(), 1u);
    GuidBuffer code = "";
    std::uint32_t context = 0;
    for (const char* bad : {"A8EF3AF3-4F3E-5E3F-BD8A-3EC0BE135D99", "{A8EF3AF3-4F3E-5E3F-BD8A-3EC0BE135D9X}", ""}) {
        EXPECT_EQ(query.MsiEnumProductsExA(bad, nullptr, kContextAll, 0, code, &context),
                  kErrorInvalidParameter)
            << bad;
    }
    EXPECT_EQ(query.MsiEnumProductsExA(kMachineProduct, nullptr, 0, 0, code, &context),
              kErrorInvalidParameter);
    EXPECT_EQ(query.MsiEnumProductsExA(kMachineProduct, "S-1-5-18", kContextAll, 0, code, &context),
              kErrorInvalidParameter);
}

TEST(Installer, WithoutTheUsersSidOnlyHkcuSpeaksForTheUser)
{
    const Machine machine(InstallerExport(), false);
    const Query& query = *machine.query;
    EXPECT_EQ(Products(query, kUserProduct, kContextAll).size(), 1u);
    EXPECT_EQ(Products(query, kManagedProduct, kContextAll),
              (std::vector<Found>{{kManagedProduct, kContextMachine}}));
    EXPECT_TRUE(Patches(query, kUserProduct).empty()) << "its state is under the user's SID";
}

TEST(Installer, ListsAppliedPatchesByContextAndListOrder)
{
    const Machine machine(InstallerExport(), false, kUser);
    const Query& query = *machine.query;
    EXPECT_EQ(Patches(query, kMachineProduct),
              (std::vector<Found>{{kApplied, kContextMachine},
                                  {kNoPackage, kContextMachine},
                                  {kNoName, kContextMachine}}));
    EXPECT_EQ(Patches(query, kMachineProduct, 2),
              (std::vector<Found>{{kSuperseded, kContextMachine}, {kNoPackageValue, kContextMachine}}));
    EXPECT_EQ(Patches(query, kManagedProduct),
              (std::vector<Found>{{kManagedPatch, kContextUserManaged},
                                  {kMachinePatchOfManaged, kContextMachine}}));
    EXPECT_EQ(Patches(query, kUserProduct), (std::vector<Found>{{kUserPatch, kContextUserUnmanaged}}));
    EXPECT_EQ(Patches(query, nullptr).size(), 6u);
    GuidBuffer patch = "";
    GuidBuffer target = "";
    std::uint32_t context = 0;
    EXPECT_EQ(query.MsiEnumPatchesExA(kMachineProduct, nullptr, kContextAll, 0, 0, patch, target, &context),
              kErrorInvalidParameter);
    EXPECT_EQ(query.MsiEnumPatchesExA(kMachineProduct, nullptr, kContextAll, 16, 0, patch, target, &context),
              kErrorInvalidParameter);
}

TEST(Installer, PatchPropertiesReadInTheirContext)
{
    const Machine machine(InstallerExport(), false, kUser);
    const Query& query = *machine.query;
    const struct {
        const char* patch;
        const char* product;
        std::uint32_t context;
        const char* property;
        QueryStatus status;
        const char* value;
    } cases[] = {
        {kApplied, kMachineProduct, kContextMachine, "DisplayName", kErrorSuccess, "Fix one"},
        {kApplied, "{a8ef3af3-4f3e-5e3f-bd8a-3ec0be135d99}", kContextMachine, "DisplayName", kErrorSuccess, "Fix one"},
        {kApplied, kMachineProduct, kContextMachine, "State", kErrorSuccess, "1"},
        {kApplied, kMachineProduct, kContextMachine, "LocalPackage", kErrorSuccess, "C:\\Windows\\Installer\\x.msp"},
        {kApplied, kMachineProduct, kContextMachine, "MoreInfoURL", kErrorSuccess, ""},
        {kApplied, kMachineProduct, kContextMachine, "Colour", kErrorUnknownProperty, ""},
        {kNoName, kMachineProduct, kContextMachine, "DisplayName", kErrorSuccess, ""},
        {kNoPackage, kMachineProduct, kContextMachine, "DisplayName", kErrorUnknownPatch, ""},
        {kNoPackageValue, kMachineProduct, kContextMachine, "DisplayName", kErrorSuccess, "Key only"},
        {kNoState, kMachineProduct, kContextMachine, "DisplayName", kErrorSuccess, "No state"},
        {kUserPatch, kMachineProduct, kContextMachine, "DisplayName", kErrorUnknownPatch, ""},
        {kUserPatch, kUserProduct, kContextMachine, "DisplayName", kErrorUnknownProduct, ""},
        {kUserPatch, kUserProduct, kContextUserUnmanaged, "DisplayName", kErrorSuccess, "User fix"},
        {kManagedPatch, kManagedProduct, kContextMachine, "DisplayName", kErrorUnknownPatch, ""},
        {kManagedPatch, kManagedProduct, kContextUserManaged, "DisplayName", kErrorSuccess, "Managed fix"},
        {kApplied, kMachineProduct, kContextAll, "DisplayName", kErrorInvalidParameter, ""},
        {"{bad}", kMachineProduct, kContextMachine, "DisplayName", kErrorInvalidParameter, ""},
    };
    for (const auto& c : cases) {
        char value[128] = "untouched";
        std::uint32_t chars = sizeof value;
        EXPECT_EQ(query.MsiGetPatchInfoExA(c.patch, c.product, nullptr, c.context, c.property, value, &chars),
                  c.status)
            << c.patch << " " << c.property;
        if (c.status == kErrorSuccess) {
            EXPECT_STREQ(value, c.value);
            EXPECT_EQ(chars, std::strlen(c.value));
        }
    }
}

TEST(Installer, LongDisplayNamesGiveMoreData)
{
    const std::string name127(127, 'n');
    const Machine machine(
        Registration("HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\Installer\\Products", "S-1-5-18",
                     kMachineProduct,
                     {{kApplied, "\"State\"=dword:00000001\n\"DisplayName\"=\"" + name127 + "\"\n"},
                      {kNoName, "\"State\"=dword:00000001\n\"DisplayName\"=\"" + name127 + "m\"\n"}})
            + PatchPackage("S-1-5-18", kApplied) + PatchPackage("S-1-5-18", kNoName),
        false);
    char value[128];
    std::uint32_t chars = sizeof value;
    EXPECT_EQ(machine.query->MsiGetPatchInfoExA(kApplied, kMachineProduct, nullptr, kContextMachine,
                                                "DisplayName", value, &chars),
              kErrorSuccess);
    EXPECT_EQ(value, name127);
    chars = sizeof value;
    EXPECT_EQ(machine.query->MsiGetPatchInfoExA(kNoName, kMachineProduct, nullptr, kContextMachine,
                                                "DisplayName", value, &chars),
              kErrorMoreData);
    EXPECT_EQ(chars, 128u);
    EXPECT_EQ(value[127], '\0');
}

TEST(Installer, UserSidsComeFromTheRegistration)
{
    RegistryTree tree;
    ReadBytes(MakeExport(ExportKind::Version5Utf16, InstallerExport()), tree);
    EXPECT_EQ(InstallerUserSids(tree), (std::vector<std::string>{kUser, kOtherUser}));
}

TEST(PackedGuids, PackAndUnpack)
{
    const struct {
        const char* code;
        const char* packed;
    } cases[] = {
        {"{A8EF3AF3-4F3E-5E3F-BD8A-3EC0BE135D99}", "3FA3FE8AE3F4F3E5DBA8E30CEB31D599"},
        {"{00112233-4455-6677-8899-AABBCCDDEEFF}", "33221100554477668899AABBCCDDEEFF"},
        {"{12345678-9abc-def0-1234-56789abcdef0}", "87654321CBA90FED21436587A9CBED0F"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PackGuid(c.code), std::optional<std::string>(c.packed)) << c.code;
        std::string upper = c.code;
        for (char& ch : upper)
            ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
        EXPECT_EQ(UnpackGuid(c.packed), std::optional<std::string>(upper)) << c.packed;
    }
    for (const char* bad : {"", "{A8EF3AF3-4F3E-5E3F-BD8A-3EC0BE135D99", "{A8EF3AF3+4F3E-5E3F-BD8A-3EC0BE135D99}",
                            "{G8EF3AF3-4F3E-5E3F-BD8A-3EC0BE135D99}"})
        EXPECT_EQ(PackGuid(bad), std::nullopt) << bad;
    EXPECT_EQ(UnpackGuid("3FA3FE8AE3F4F3E5DBA8E30CEB31D59"), std::nullopt);
    EXPECT_EQ(UnpackGuid("3FA3FE8AE3F4F3E5DBA8E30CEB31D59Z"), std::nullopt);
}

}  // namespace
