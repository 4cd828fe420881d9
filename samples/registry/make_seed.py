#!/usr/bin/env python3
"""Writes seed.reg: the registry a fresh working folder starts from.

It registers the OLE DB Simple Provider runtime's class with a server path and a
few hundred ProgIDs under HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes (each with a
description and a CLSID key), a few names the provider utility must skip (a
leading dot, no dot at all), and the transaction-server catalog read by the
custom-object wizard. Class ids are derived from the names, so the file is the
same on every run.
"""
import hashlib
import pathlib

LIBRARIES = {
    "ADODB": ["Command", "Connection", "Error", "Field", "Parameter", "Record", "Recordset", "Stream"],
    "ADOX": ["Catalog", "Column", "Group", "Index", "Key", "Table", "User", "View"],
    "DAO": ["DBEngine", "Field", "Index", "QueryDef", "Relation", "TableDef", "Workspace"],
    "MSXML2": ["DOMDocument", "DOMDocument30", "FreeThreadedDOMDocument", "SAXXMLReader", "ServerXMLHTTP", "XMLHTTP", "XMLSchemaCache", "XSLTemplate"],
    "Scripting": ["Dictionary", "Encoder", "FileSystemObject"],
    "VBScript": ["RegExp"],
    "WScript": ["Network", "Shell"],
    "MSComctlLib": ["ImageComboCtl", "ImageListCtrl", "ListViewCtrl", "ProgCtrl", "SBarCtrl", "Slider", "TabStrip", "Toolbar", "TreeCtrl"],
    "MSComDlg": ["CommonDialog"],
    "MSFlexGridLib": ["MSFlexGrid"],
    "MSWinsockLib": ["Winsock"],
    "RDS": ["DataControl", "DataSpace"],
    "RDSServer": ["DataFactory"],
    "CDO": ["Configuration", "Message"],
    "MSMQ": ["MSMQApplication", "MSMQMessage", "MSMQQuery", "MSMQQueueInfo"],
    "SQLDMO": ["Application", "Backup", "Database", "SQLServer"],
    "Excel": ["Application", "Chart", "Sheet", "Workbook"],
    "Word": ["Application", "Document", "Template"],
    "Access": ["Application", "Project"],
    "Outlook": ["Application"],
    "InternetExplorer": ["Application"],
    "Shell": ["Application", "Explorer"],
    "TLI": ["TLIApplication"],
    "MSDASC": ["DataLinks"],
    "MSDAOSP": ["SimpleProvider"],
    "MSDataShape": ["Provider"],
    "SQLOLEDB": ["ErrorLookup", "Enumerator"],
    "Microsoft.Jet.OLEDB": ["4.0", "3.51"],
    "Tarnwick": ["Ledger", "Invoice", "Customer", "Orders", "Payroll", "Stock", "Reports", "Mailer"],
    "Fenwick": ["Account", "Broker", "Batch", "Journal", "Posting"],
    "Harrowgate": ["Catalogue", "Picker", "Shipment", "Warehouse"],
    "Millbrook": ["Calendar", "Roster", "Timesheet"],
    "Quarry": ["Gauge", "Meter", "Sensor", "Survey"],
    "Ribston": ["Codec", "Compressor", "Archive"],
    "Stenhouse": ["Ledger", "Budget", "Forecast", "Grant"],
}
DESCRIPTIONS = {
    "ADODB": "ADO", "ADOX": "ADO Extensions", "DAO": "DAO", "MSXML2": "XML",
    "Scripting": "Scripting Runtime", "MSComctlLib": "Common Controls",
}


def guid(name):
    h = hashlib.md5(name.encode()).hexdigest().upper()
    return "{%s-%s-4%s-%s-%s}" % (h[0:8], h[8:12], h[13:16], "A" + h[17:20], h[20:32])


def progids():
    names = []
    for lib, classes in LIBRARIES.items():
        for cls in classes:
            base = f"{lib}.{cls}"
            names.append(base)
            # Versioned ProgIDs as installers register them.
            for version in range(1, 2 + (len(cls) % 4)):
                names.append(f"{base}.{version}")
    return names


def main():
    out = ["REGEDIT4", ""]
    out += [r"[HKEY_CLASSES_ROOT\CLSID\{dfc8bdc0-e378-11d0-9b30-0080c7e9fe95}]",
            '@="OLE DB Simple Provider"', "",
            r"[HKEY_CLASSES_ROOT\CLSID\{dfc8bdc0-e378-11d0-9b30-0080c7e9fe95}\InProcServer32]",
            r'@="C:\\Program Files\\Common Files\\System\\OLE DB\\MSDAOSP.DLL"',
            '"ThreadingModel"="Both"', ""]
    # Keys the provider utility must leave out of its list.
    for skipped in [".bas", ".cls", ".frm", ".txt", ".vbp", "CLSID", "Interface", "TypeLib", "AppID", "Folder"]:
        out += [f"[HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\{skipped}]", ""]
    for name in progids():
        lib = name.split(".")[0]
        out += [f"[HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\{name}]",
                f'@="{DESCRIPTIONS.get(lib, lib)} {name.split(".", 1)[1]}"', "",
                f"[HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\{name}\\CLSID]",
                f'@="{guid(name)}"', ""]
    catalog = pathlib.Path(__file__).with_name("catalog.part")
    if catalog.exists():
        out += catalog.read_text().splitlines()
    path = pathlib.Path(__file__).with_name("seed.reg")
    path.write_bytes(("\r\n".join(out).rstrip("\r\n") + "\r\n").encode("cp1252"))
    print(f"{path}: {len(progids())} ProgIDs")


if __name__ == "__main__":
    main()
