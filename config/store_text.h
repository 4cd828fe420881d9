#pragma once
// The text rules of the configuration store: key and section names, how
// numbers and truth values are read from the store, and the declaration lines
// that switch a module. Pure functions; nothing here touches a project.

#include <string>
#include <string_view>

namespace config {

// Section and key names of the store.
inline constexpr const char* kConfigurations = "Configurations";
inline constexpr const char* kConstants = "Constants";
inline constexpr const char* kCount = "Count";
inline constexpr const char* kCurrent = "Current";

// The default configuration set written into a project that has none.
inline constexpr const char* kDefaultConstant = "debugging";
inline constexpr const char* kDefaultDebug = "debug";
inline constexpr const char* kDefaultRelease = "release";

// Counts are read as 16-bit signed integers, so this is the largest one.
inline constexpr int kMaxCount = 32767;

// "Config" or "Const" followed by the number in decimal ("Config12").
std::string NumberedKey(const char* prefix, long number);
inline std::string ConfigKey(long number) { return NumberedKey("Config", number); }
inline std::string ConstKey(long number) { return NumberedKey("Const", number); }

// A number as the store keeps it: decimal, no leading zeros, no blanks.
std::string NumberText(long number);

// Reads a stored number the way VB converts text to an Integer: blanks
// around it are ignored, a sign may lead, a fractional part is rounded half to
// even, and "&H" / "&O" prefixes give hexadecimal and octal. Text that is no
// number fails with error 13 (Type mismatch); a value outside -32768..32767
// fails with error 6 (Overflow).
int ParseStoredInteger(const std::string& text);

// A stored value is true when, upper-cased and with blanks trimmed from both
// ends, it equals "TRUE"; anything else, the empty text included, is false.
bool ReadsAsTrue(const std::string& value);

// The value the store keeps for a truth value.
inline const char* StoredTruth(bool value) { return value ? "True" : "False"; }

// The text Configure looks for: "#Const " + name + " ".
std::string SearchText(const std::string& name);
// The line Configure writes: "#Const " + name + " = " + value, the value as stored.
std::string DeclarationLine(const std::string& name, const std::string& value);
// The line the defaults insert into every module (no blank after "=").
std::string DefaultDeclarationLine();
// The line that the declarations inserted into a module become: the line
// after the module's first logical line, so that a first statement continued
// with " _" stays whole (2 when the first line does not continue). `firstLines`
// are the module's first lines joined by CR LF; a logical line spans at most
// kMaxPhysicalLines of them.
inline constexpr long kMaxPhysicalLines = 25;
long DeclarationInsertLine(const std::string& firstLines);
// Whether a physical line continues onto the next: it ends, trailing blanks
// aside, with a blank or tab and "_".
bool ContinuesOnNextLine(std::string_view line);

// The last column of the window in which Configure looks for the search
// text: the name's length + 10, so "#Const" must begin in column 1, 2 or 3.
long SearchWindowEnd(const std::string& name);
// Whether a line holds the search text of `name` inside that window, with
// ASCII letters folded: the match Configure makes through CodeModule.Find.
bool IsDeclarationOf(const std::string& line, const std::string& name);

// The characters the input box lets through: Backspace and "a" to "z".
bool IsNameKey(int keyAscii);

}  // namespace config
