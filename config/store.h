#pragma once
// The operations on a project's configuration store: reading and writing the
// lists of configurations and constants, writing the defaults, and applying
// the current configuration to the code of every module.
//
// Every function works on the project it is given and throws vb::VbError at
// the first step that fails; the steps before it stay done. Callers decide
// whether to trap (the add-in's store operations stay silent, the command
// line reports). A null project fails with error 91 at the first step that
// uses it, as a call on Nothing does.

#include <functional>
#include <string>

#include "shared/vbide.h"

namespace config {

class ListView;

// The text of an entry; error 5 when it does not exist, with a description
// that names it.
std::string ReadEntry(const vbide::VBProjectPtr& project, const std::string& section,
                      const std::string& key);
// A stored number (see ParseStoredInteger); errors 5, 13 or 6.
int ReadNumber(const vbide::VBProjectPtr& project, const std::string& section,
               const std::string& key);
// A "Count" entry of `section`: a stored number that is not negative; error 6
// for a negative one, which only a damaged store holds.
int ReadCount(const vbide::VBProjectPtr& project, const std::string& section);
void WriteEntry(const vbide::VBProjectPtr& project, const std::string& section,
                const std::string& key, const std::string& value);
// Whether the project's store holds configurations at all ("Count" of
// section "Configurations" exists).
bool HasConfigurations(const vbide::VBProjectPtr& project);

// What Configure did, for reports and tests.
struct ConfigureResult {
    long linesReplaced = 0;  // declaration lines found and replaced
    long linesChanged = 0;   // of those, the lines whose text the replacement changed
    long linesInserted = 0;
};

// Applies the current configuration: for each constant in order, every line
// of every module that holds "#Const <name> " with "#Const" in column 1, 2
// or 3 (letters compared without case) becomes "#Const <name> = <value>";
// a module without such a line gets that line inserted after its first
// logical line (as line 2, unless line 1 continues with " _").
// Components without code (resource files, related documents) are passed by.
ConfigureResult Configure(const vbide::VBProjectPtr& project);

// Writes the default store entries in their fixed order and inserts the
// default declaration line after the first logical line of every module.
// Answers the number of lines inserted (one per module with code).
long InitializeConfigurations(const vbide::VBProjectPtr& project);

// Fills the list with the configuration names and selects the current one.
// When the store holds no configurations at all, `initialize` is called once
// (it writes the defaults) and the read that failed is repeated; any other
// missing entry ends the operation like every other failure.
void ReadConfigurations(const vbide::VBProjectPtr& project, ListView& list,
                        const std::function<void()>& initialize);
// Clears the list, then fills it with the constant names, checking each
// constant that the current configuration makes true.
void ReadConstants(const vbide::VBProjectPtr& project, ListView& list);
// Writes the list's entries as configuration names "Config1".. (or constant
// names "Const1"..), without touching "Count".
void WriteConfigurations(const vbide::VBProjectPtr& project, ListView& list);
void WriteConstants(const vbide::VBProjectPtr& project, ListView& list);

// Appends a configuration: "Count" grows by one, the name is stored under the
// new number, and the new configuration holds "False" for every constant.
// Answers the new number. Error 6 when the count would pass 32767.
long AddConfiguration(const vbide::VBProjectPtr& project, const std::string& name);
// Appends a constant: "Count" of "Constants" grows by one, the name is
// stored under the new number, and every configuration holds "False" for it.
long AddConstant(const vbide::VBProjectPtr& project, const std::string& name);
// Makes configuration `number` the current one.
void SetCurrent(const vbide::VBProjectPtr& project, long number);
// Stores a constant's value in one configuration.
void SetValue(const vbide::VBProjectPtr& project, long configuration, const std::string& constant,
              bool value);

}  // namespace config
