// The version block that ReadFileVersionInfo finds in the executable: a marker, then
// NUL-terminated key/value pairs, then the end marker. Linked into the executable
// itself, so that a copy of the program carries its own version.
extern "C" {
__attribute__((used)) const char PelmarkVersionBlock[] =
    "\x01"
    "PELMARK-VERSIONINFO\x01"
    "CompanyName\0Pelmark II team\0"
    "FileDescription\0Pelmark II, online racer status\0"
    "FileVersion\0" PELMARK_VERSION_STRING "\0"
    "LegalCopyRight\0(C) 2026 Pelmark II team\0"
    "ProductName\0Pelmark II\0"
    "ProductVersion\0" PELMARK_VERSION_STRING "\0"
    "\x01"
    "PELMARK-VERSIONEND\x01";
}
