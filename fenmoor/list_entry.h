#pragma once
// The entries of the wizard's two lists: an object's name, 100 blanks that push
// the rest out of sight, and the object's key. The wizard keeps no other record
// of what it listed and reads key and name back from an entry's text.

#include <string>

namespace fenmoor {

// name + 100 blanks + key.
std::string MakeEntry(const std::string& name, const std::string& key);

// The key: the text after the first run of 100 blanks, blanks trimmed from
// both ends (the whole text, trimmed, when there is no such run).
std::string KeyOfEntry(const std::string& entry);

// The name up to its first blank: the text up to and including the first
// blank, blanks trimmed from both ends.
std::string NameOfEntry(const std::string& entry);

}  // namespace fenmoor
