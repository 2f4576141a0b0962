"""A workstation with products of every pass, shown by tools/demo.sh."""
from make_machine import Machine, Patch, Product

BELSAR = r"SOFTWARE\TOLV\Grelkin\Belsar"
SERVER = r"SOFTWARE\TOLV\Server9.4\Microsoft .NET Framework Edition"

MACHINE = Machine(
    products=[
        Product("Kavren Desktop 9.3.1"),
        Product("Kavren Engine Runtime 9.3.1", patches=[
            Patch("Kavren Engine Runtime 9.3.1"),
            Patch("Kavren Engine Runtime 9.3.1 Security Update"),
        ]),
        Product("Kavren Image Server Client Core 9.3.1", patches=[
            Patch("Kavren Image Server Client Core 9.3.1 Hot Fix 12"),
        ]),
        Product("Fennowick 9.3"),
    ],
    keys={
        r"SOFTWARE\TOLV\Grelkin\Desktop\8.0": {"ProductName": "Kavren Desktop", "SPNumber": "3"},
        r"SOFTWARE\TOLV\QFE\Desktop\SP3": {
            "QFE-D-101": "Desktop QFE 101: printing of large maps",
            "QFE-D-102": "Desktop QFE 102: label placement",
        },
        r"SOFTWARE\TOLV\Kavren Engine Runtime": {"ProductName": "Kavren Engine Runtime", "SPNumber": "3"},
        SERVER + r"\Kavren Server 9.4 - GIS Services1": {
            "Instance": "Production", "ProductName": "Kavren Server 9.4 - GIS Services1"},
        SERVER + r"\Kavren Server 9.4 - GIS Services1\Updates\U1": {"Name": "GIS Services 9.4 Update 1"},
        r"SOFTWARE\TOLV\Explorer900": {"ProductName": "Kavren Explorer", "RealVersion": "9.4.2"},
    },
    keys64={
        BELSAR + r"\Belsar for Oracle": {
            "ProductName": "Kavren Belsar for Oracle11g", "RealVersion": "9.3.1", "SPNumber": "1"},
        r"SOFTWARE\TOLV\QFE\BSROra11g64\SP1": {"QFE-O-7": "Oracle11g 64-bit QFE 7: connection pooling"},
        BELSAR + r"\Belsar for SQLServer": {
            "ProductName": "Kavren Belsar for Microsoft SQL Server", "RealVersion": "9.4.1.2000"},
        BELSAR + r"\Belsar for SQLServer\Updates\U1": {"Name": "SQL Server gateway 9.4 Update 1"},
    },
)
