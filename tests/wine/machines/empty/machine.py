"""No product of the family is installed, though the machine holds traces that
each pass must pass over."""
from make_machine import Machine, Product

MACHINE = Machine(
    products=[
        # Installed, but no catalogue knows it.
        Product("Kavren Desktop 9.3.2", code="{0F5B6A3E-3C1D-5E8A-9B7C-2D4E6F8A0B1C}"),
    ],
    keys={
        # The product key and hot fixes of a release-9.3 product that is not installed.
        r"SOFTWARE\TOLV\Grelkin\Desktop\8.0": {"ProductName": "Kavren Desktop", "SPNumber": "2"},
        r"SOFTWARE\TOLV\QFE\Desktop\SP2": {"QFE1": "Desktop QFE 1"},
        # 9.4 keys without a product name, or of an earlier release.
        r"SOFTWARE\TOLV\Desktop9.4": {"RealVersion": "9.4.0.1500"},
        r"SOFTWARE\TOLV\Desktop9.4\Updates\KB1001": {"Name": "Desktop 9.4 Update 1"},
        r"SOFTWARE\TOLV\Kavren License Manager 9.4": {
            "ProductName": "Kavren License Manager", "RealVersion": "9.3.1"},
    },
    keys64={
        # A gateway of release 9.2 in the 64-bit view: neither 9.3 nor 9.4.
        r"SOFTWARE\TOLV\Grelkin\Belsar\Belsar for Oracle": {
            "ProductName": "Kavren Belsar for Oracle11g", "RealVersion": "9.2", "SPNumber": "1"},
    },
)
