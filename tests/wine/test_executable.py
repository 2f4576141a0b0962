#!/usr/bin/env python3
"""What Mirovant931.exe is, read from its PE header: a 32-bit GUI program with
address-space randomisation and no-execute data, needing only DLLs that every
Windows has (the compiler's run-time libraries are linked in)."""
import unittest

import pe
import wineenv

SYSTEM_DLLS = {"kernel32.dll", "advapi32.dll", "msi.dll", "user32.dll", "comctl32.dll",
               "comdlg32.dll", "gdi32.dll", "msvcrt.dll", "shell32.dll", "shlwapi.dll", "ole32.dll"}
COMPILER_DLL_PREFIXES = ("libgcc", "libstdc++", "libwinpthread", "mingw")


class Executable(unittest.TestCase):

    @classmethod
    def setUpClass(cls):
        cls.image = pe.read_image(wineenv.build_dir() / "Mirovant931.exe")

    def test_is_a_32_bit_gui_program(self):
        self.assertEqual(self.image.machine, pe.MACHINE_I386)
        self.assertEqual(self.image.magic, pe.MAGIC_PE32)
        self.assertEqual(self.image.subsystem, pe.SUBSYSTEM_WINDOWS_GUI)

    def test_has_dynamic_base_and_nx_compat(self):
        for flag in (pe.DLLCHARACTERISTICS_DYNAMIC_BASE, pe.DLLCHARACTERISTICS_NX_COMPAT):
            with self.subTest(flag=hex(flag)):
                self.assertTrue(self.image.dll_characteristics & flag,
                                "DllCharacteristics %#x" % self.image.dll_characteristics)

    def test_imports_system_dlls_only(self):
        imports = [name.lower() for name in self.image.imports]
        self.assertIn("msi.dll", imports)
        self.assertEqual([name for name in imports if name.startswith(COMPILER_DLL_PREFIXES)], [])
        self.assertEqual(sorted(set(imports) - SYSTEM_DLLS), [])


if __name__ == "__main__":
    unittest.main(verbosity=2)
