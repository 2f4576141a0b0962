// Windows Installer keeps product and patch codes in the registry "packed":
// {AABBCCDD-EEFF-GGHH-IIJJ-KKLLMMNNOOPP} becomes DDCCBBAAFFEEHHGGJJIILLKKNNMMPPOO,
// the first three groups reversed and each later byte's two digits swapped.
#pragma once

#include <optional>
#include <string>
#include <string_view>

// The packed form of a braced code, in upper case; none for text that is not
// a braced GUID.
std::optional<std::string> PackGuid(std::string_view code);

// The braced code, in upper case, of a packed one; none for text that is not
// 32 hex digits.
std::optional<std::string> UnpackGuid(std::string_view packed);
