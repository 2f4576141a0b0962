"""Products of every pass. The gateway keys hold different products in the two
registry views: 9.3 and 9.4 gateways in the 32-bit view, 64-bit editions of
9.3 gateways and 9.4 gateways in the 64-bit view."""
from make_machine import Machine, Patch, Product

BELSAR = r"SOFTWARE\TOLV\Grelkin\Belsar"
SERVER = r"SOFTWARE\TOLV\Server9.4\Microsoft .NET Framework Edition"

MACHINE = Machine(
    products=[
        # Release 9.3 (read in the 32-bit view).
        Product("Kavren Desktop 9.3.1", patches=[Patch("Kavren Desktop 9.3.1 Security Update")]),
        Product("Kavren Belsar for Oracle10g 9.3.1"),
        # Installer catalogue: titled by the catalogue, never with hot fixes.
        Product("Kavren Desktop 9.2", patches=[
            Patch("Kavren Desktop 9.2 Service Pack 1"),
            Patch("Kavren Desktop 9.2 Hot Fix 44"),
        ]),
        # Installed both per machine and for the user: one entry.
        Product("Kavren Tutorial 9.2"),
        Product("Kavren Tutorial 9.2", per_user=True),
        Product("Kavren Business Analyst Server Data  -  2008"),
        # Installed for the user alone; its patch's name cannot be read per
        # machine, so it has no line.
        Product("Fennowick 9.3", per_user=True, patches=[Patch("Fennowick 9.3 per-user patch")]),
    ],
    keys={
        r"SOFTWARE\TOLV\Grelkin\Desktop\8.0": {"ProductName": "Kavren Desktop", "SPNumber": "2"},
        r"SOFTWARE\TOLV\QFE\Desktop\SP2": {"QFE1": "Desktop 9.3.1 QFE 1"},
        # A 9.3 gateway: listed by the release-9.3 pass, not by the 9.4 pass.
        BELSAR + r"\Belsar for Oracle": {
            "ProductName": "Kavren Belsar for Oracle10g", "RealVersion": "9.3", "SPNumber": "1"},
        r"SOFTWARE\TOLV\QFE\BSROra10g\SP1": {"QFE11": "Oracle10g QFE 11"},
        # The 64-bit C SDK's hot-fix key path, in the wrong view: not shown.
        r"SOFTWARE\TOLV\QFE\BSRCSDK64\SP2": {"QFE3": "C SDK hot fix of the 32-bit view"},
        # 9.4 gateways.
        BELSAR + r"\Belsar for DB2": {"ProductName": "Kavren Belsar for DB2 9.4"},
        BELSAR + r"\Belsar for DB2\Updates\U1": {"Name": "DB2 gateway 9.4 Update 1"},
        BELSAR + r"\Belsar for SQLServer": {"ProductName": "Kavren Belsar for Microsoft SQL Server 9.4"},
        BELSAR + r"\Belsar for SQLServer\Updates\U1": {"Name": "SQL Server gateway 9.4 Update 1"},
        # Release 9.4.
        r"SOFTWARE\TOLV\Desktop9.4": {"ProductName": "Kavren Desktop", "RealVersion": "9.4.0.1500"},
        r"SOFTWARE\TOLV\Desktop9.4\Updates\KB1001": {"Name": "Desktop 9.4 Update 1"},
        r"SOFTWARE\TOLV\Desktop9.4\Updates\KB1002": {"Title": "an update without a Name"},
        r"SOFTWARE\TOLV\Desktop9.4\Updates\KB1003": {"Name": "Desktop 9.4 Update 3"},
        r"SOFTWARE\TOLV\Desktop9.4\French": {"ProductName": "Kavren Desktop French", "RealVersion": "9.4 Beta"},
        SERVER + r"\Kavren Server 9.4 - GIS Services": {"ProductName": "Kavren Server 9.4 - GIS Services"},
        SERVER + r"\Kavren Server 9.4 - GIS Services3": {
            "Instance": "Main", "ProductName": "Kavren Server 9.4 - GIS Services3"},
        SERVER + r"\Kavren Server 9.4 - Web Applications1": {
            "ProductName": "Kavren Server 9.4 - Web Applications1"},
        # An earlier release under a 9.4 key: no entry.
        r"SOFTWARE\TOLV\Kavren License Manager 9.4": {
            "ProductName": "Kavren License Manager", "RealVersion": "9.3.1"},
        # The catalogue spells this path "Software\..."; keys match in any case.
        r"SOFTWARE\TOLV\Kavren Pre 9.4 GDB Direct Connect": {
            "ProductName": "Kavren Pre 9.4 GDB Direct Connect"},
        r"SOFTWARE\TOLV\Explorer900": {"ProductName": "Kavren Explorer", "RealVersion": "9.4.2"},
        r"SOFTWARE\TOLV\Explorer900\Updates\SP1": {"Name": "Explorer 900 Service Pack 1"},
    },
    keys64={
        # 64-bit editions of 9.3 gateways.
        BELSAR + r"\Belsar for Oracle": {
            "ProductName": "Kavren Belsar for Oracle11g", "RealVersion": "9.3.1", "SPNumber": "1"},
        r"SOFTWARE\TOLV\QFE\BSROra11g64\SP1": {
            "QFE1": "Oracle11g 64-bit QFE 1", "QFE2": "Oracle11g 64-bit QFE 2"},
        BELSAR + r"\Belsar for SQLServer": {
            "ProductName": "Kavren Belsar for Microsoft SQL Server", "RealVersion": "9.3.1",
            "SPDisplayName": "Kavren Belsar for Microsoft SQL Server 9.3.1 SP1 (64-bit)"},
        r"SOFTWARE\TOLV\QFE\BSRSQL64\SP0": {"QFE7": "SQL Server 64-bit QFE 7"},
        BELSAR + r"\8.0\Belsar C SDK": {
            "ProductName": "Kavren Belsar C SDK", "RealVersion": "9.3", "SPNumber": "2"},
        r"SOFTWARE\TOLV\QFE\BSRCSDK64\SP2": {"QFE3": "C SDK 64-bit QFE 3"},
        # An earlier release: no entry.
        BELSAR + r"\8.0\Belsar Java SDK": {"ProductName": "Kavren Belsar Java SDK", "RealVersion": "9.2"},
        # 9.4 gateways; DB2 is also installed in the 32-bit view.
        BELSAR + r"\Belsar for DB2": {"ProductName": "Kavren Belsar for DB2", "RealVersion": "9.4.0.900"},
        BELSAR + r"\Belsar for DB2\Updates\U1": {"Name": "DB2 64-bit gateway 9.4 Update 1"},
        BELSAR + r"\Belsar for DB2\Updates\U2": {"Name": "DB2 64-bit gateway 9.4 Update 2"},
        BELSAR + r"\Belsar for Informix": {"ProductName": "Kavren Belsar for Informix 9.4"},
    },
)
