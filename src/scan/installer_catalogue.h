// The release-9.2 products and the add-on products of releases 9.2 to 9.3.1,
// known to Windows Installer by product code alone and titled by their name.
#pragma once

#include "scan/table_checks.h"

struct InstallerProduct {
    char displayName[100];  // the entry's title, as it stands
    char productCode[39];
};

// Product codes come from tools/product_codes.py on the display name. Row 53
// has two spaces on each side of its hyphen.
inline constexpr InstallerProduct kInstallerCatalogue[] = {
    {"Kavren Desktop 9.2", "{C4A13209-9714-52F4-AEEF-9767377C06BA}"},
    {"Kavren Evaluation Edition 9.2", "{E2335B63-D7BC-54E5-BDDC-45F95B3C6F36}"},
    {"Kavren Desktop Developer Kit for .NET 9.2", "{47CE2012-BC46-5178-9F95-99ACD76E6397}"},
    {"Kavren Desktop Developer Kit for VC++ 9.2", "{D4A49C11-7443-5E4A-ABB5-BDCC024986EA}"},
    {"Kavren Desktop Developer Kit for VB6 9.2", "{59C3D6F7-FF88-559F-9596-531F54E6268F}"},
    {"Kavren Desktop VBA Developer Resource 9.2", "{15CCD073-AB41-5E86-935F-21C5A13989B9}"},
    {"Ossirend 9.2", "{2A1B1D0F-061C-5065-9952-5A0F6F6820B8}"},
    {"Kavren Engine Runtime 9.2", "{C5FB6146-E408-568D-B226-01C9B66EAE7D}"},
    {"Kavren Engine Developer Kit for C++ 9.2", "{65F985FC-109B-5402-A75C-2DA7CDC046E7}"},
    {"Kavren Engine Developer Kit for .NET 9.2", "{747DD154-22AB-5CF4-91FF-7707735B8D88}"},
    {"Kavren Engine Developer Kit for Java 9.2", "{A4140552-FD21-57A2-9F11-00712A7AE6FF}"},
    {"Kavren Help System for Java 9.2", "{90172367-C5C1-53A4-B83E-A0A949AACFB3}"},
    {"Kavren Engine Developer Kit for VB6 9.2", "{A5A7705E-E33A-5FFC-B1FD-394F34528C45}"},
    {"Kavren Engine Developer Kit for VC++ 9.2", "{5173DCA1-FBFD-5B01-BB40-7E2FB863C793}"},
    {"Kavren Server for .NET 9.2", "{60EA35F6-DA89-507E-A696-A1F2A2D84F27}"},
    {"Kavren Server Web ADF Runtime 9.2", "{21A2CE59-943E-5A1D-9B9D-02FA193712E8}"},
    {"Kavren Server for Java 9.2", "{F894FB7F-C573-5B25-9F83-A3120DAD0008}"},
    {"Vordun 9.2", "{0618F827-8F7D-5E56-B2A7-9AD044F56FF9}"},
    {"Vordun Web ADF for .NET 9.2", "{A8103016-FD4E-5E2E-97E1-7C9124B7A98B}"},
    {"Vordun Web ADF for Java 9.2", "{1572071A-1916-55FC-932B-781EE5BB6826}"},
    {"Kavren Tutorial 9.2", "{F1404F03-AF1E-5789-BF3F-5FA73B43D961}"},
    {"Belsar for DB2 9.2", "{F1A8D1EB-9108-5978-A2BD-00A9BD9EDED5}"},
    {"Belsar for Informix 9.2", "{ED3BD73D-B5F6-511A-A0E7-8CFD20A3D091}"},
    {"Belsar for Oracle 9i 9.2", "{225D2D1A-464B-5008-9540-D6118B161AEF}"},
    {"Belsar for Oracle 10g 9.2", "{C07E855F-9024-578A-9A89-A609DFCD5A78}"},
    {"Belsar for SQLServer 9.2", "{58ADE153-E0FC-50D2-A081-02ADDF1CBA2F}"},
    {"Belsar C SDK 9.2", "{54292537-5B52-52B1-8381-965FDFBC9AE4}"},
    {"Belsar Java SDK 9.2", "{8B54F5D4-20D1-5034-89EE-915EDD8B14E9}"},
    {"Grelkin Workstation 9.2", "{1D32C94A-1CC1-5651-A414-790488B4BE07}"},
    {"Kavren Military Overlay Editor 9.2", "{81014110-5DA4-552D-8FF5-192FFED4BDA0}"},
    {"Kavren Military Analyst 9.2", "{63558739-E185-5986-8040-65216770E55D}"},
    {"Kavren 9.3 GDB Direct Connect for 9.2 Clients", "{C720E976-1692-508E-9543-0AD6030FA542}"},
    {"Kavren 9.3 SP1 GDB Direct Connect for 9.2 Clients", "{9A4F69B3-D124-50B1-9FF6-98AEC4B8D896}"},
    {"Kavren 9.3.1 GDB Direct Connect for 9.2 Clients", "{C1E0A02F-90C8-5816-A3D2-FFE6A1C4A206}"},
    {"Kavren Crystal Report Wizard 9.3", "{84E269C4-0C0B-5D99-BD24-E6A661203FC0}"},
    {"Kavren Tutorial Data 9.3", "{10B667D4-D226-58E5-9368-E613727755CD}"},
    {"Grelkin Workstation 9.3", "{29A91081-1C5E-51D9-BB79-F3CB1B4D86BC}"},
    {"Kavren Image Server Client Core 9.3", "{A20A2A03-61B5-5C9B-8F7F-01D6DB87C23D}"},
    {"Kavren Image Server AutoCad Client 9.3", "{8199B92B-166B-55AD-BAF0-94A218055105}"},
    {"Kavren Image Server GeoMedia Client 9.3", "{69B9438D-52F9-5371-8C51-69A539453EA1}"},
    {"Kavren Image Server MapInfo Client 9.3", "{202AABB6-E93A-578B-8144-FA60F63DCA44}"},
    {"Kavren Image Server MicroStation Client 9.3", "{6F54ECCB-9D74-5281-AF2F-B49DFB462C2F}"},
    {"Kavren Image Server Developer Kit 9.3", "{05A9FB44-0856-51F7-ACF7-238566C7A563}"},
    {"Kavren Image Server Tutorial 9.3", "{6623EC69-4DC7-5DAF-AA26-B11BA150F797}"},
    {"Kavren Image Server AutoCad Client 9.3.1", "{F3F98F97-C768-5DAB-948D-A90E34216980}"},
    {"Kavren Image Server Client Core 9.3.1", "{9310B94B-0B8F-5B28-9E3A-326A8CB60B75}"},
    {"Kavren Image Server GeoMedia Client 9.3.1", "{21D8D2B2-6A4D-5A58-A31C-3E6445BAFBD1}"},
    {"Kavren Image Server MapInfo Client 9.3.1", "{B42C53D8-B42E-52F0-8BCB-895E15F5DFA2}"},
    {"Kavren Image Server MicroStation Client 9.3.1", "{CB3A06CD-330A-5D0F-AC6D-E52AD5A6DCF6}"},
    {"Kavren Image Server Developer Kit 9.3.1", "{8117F098-016A-5A44-BB08-59EC1FD85C65}"},
    {"Kavren Military Analyst 9.3", "{6F9FC8D7-9D9B-5CF9-812B-2CAB92165F76}"},
    {"Kavren Military Overlay Editor 9.3", "{509F3AC9-1C7E-5033-815D-B8C532696ACC}"},
    {"Kavren Business Analyst Server for the Microsoft .NET Framework 9.3", "{1DBFD061-770F-5A06-A67A-2C3EB16766F0}"},
    {"Kavren Business Analyst Server Data  -  2008", "{0C464754-017A-55A3-B97C-069F4182C947}"},
    {"Kavren 9.3 Business Analyst", "{E869E96E-8852-5A7E-9F51-3F60AD47483D}"},
    {"Kavren Pre 9.3 GDB Direct Connect", "{3723463D-3521-51BA-85B3-203125963BF0}"},
    {"Fennowick 9.3", "{CDE80A9F-7787-52DC-A6AF-E4E0C9AE26D5}"},
};

static_assert(std::size(kInstallerCatalogue) == 57, "the installer catalogue has 57 products");
static_assert(AllProductCodesAreGuids(kInstallerCatalogue), "product codes are braced GUIDs");
