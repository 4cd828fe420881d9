#pragma once
// One registry key (a root and a path under it) read into two tables: its
// string values, up to the first value of another type, and its subkey names.
// Callers query the tables by position or name; the class also writes string
// values, creates keys and deletes values and whole key trees. The registry
// handle is open only while a member works.

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "platform/win/registry.h"

namespace larkspur {

// VB's Null: a Variant that cannot be turned into text.
struct Null {};

// The Variant arguments of GetValue and SetValue: a 16-bit Integer is a
// position in the value table; a 32-bit Long is a name made of its digits.
using Variant = std::variant<std::int16_t, std::int32_t, std::string, Null>;

// The predefined roots as 32-bit handle values.
inline constexpr std::int32_t kHKeyClassesRoot = static_cast<std::int32_t>(0x80000000u);
inline constexpr std::int32_t kHKeyLocalMachine = static_cast<std::int32_t>(0x80000002u);

// Error numbers raised by the class (on the object-error base, as 32-bit values).
inline constexpr std::int32_t kErrUnableToOpen = static_cast<std::int32_t>(0x80040201u);
inline constexpr std::int32_t kErrUnknown = static_cast<std::int32_t>(0x80040209u);
inline constexpr std::int32_t kErrLetNotAvailable = static_cast<std::int32_t>(0x80040207u);

class CRegistry {
public:
    CRegistry();
    ~CRegistry();
    CRegistry(const CRegistry&) = delete;
    CRegistry& operator=(const CRegistry&) = delete;

    // Deletes the value named sValue, then re-reads the key; false on any failure.
    bool DeleteValue(const std::string& sValue);
    // Name in value-table column iRequest; empty outside 0..ValueCount.
    std::string GetName(std::int16_t iRequest) const;
    // The iIndex-th subkey name (0-based); empty outside 0..SubKeyCount-1.
    std::string GetSubKey(std::int16_t iIndex) const;
    // The data of a value by position or by name (case-insensitive); empty when
    // there is none. An error is shown in a message box titled with its source.
    std::string GetValue(const Variant& vRequest);
    // Deletes the subkey KeyName of the current key and everything below it.
    bool DeleteKey(const std::string& KeyName);
    // Creates the subkey KeyName (the object moves onto it) or, when KeyName is
    // the current path, the current key; optionally sets a value on it.
    bool Create(const std::string& KeyName, const std::optional<Variant>& sKeyName = std::nullopt,
                const std::string& sValue = {});
    // Re-reads the current key; raises "Unable to open Key" on failure.
    void Refresh();
    // Writes a string value on the current key; the tables are not re-read.
    bool SetValue(const Variant& sKeyName, const std::string& sValue);

    void SetDefault(const std::string& strKeyString);
    std::string Default() const;
    // Always raises "The Let Property is not available".
    [[noreturn]] void SetValueCount(long vl);
    std::int16_t ValueCount() const { return valueCount_; }
    void SetAutoCreate(bool vData) { autoCreate_ = vData; }
    bool AutoCreate() const { return autoCreate_; }
    // Stores the path and reads the key; a failed read is raised to the caller.
    void SetKey(const std::string& vData);
    const std::string& key() const { return key_; }
    // Stores the root and opens (with AutoCreate: creates) the current key under
    // it; failures are not reported and the tables are not re-read.
    void SetRoot(std::int32_t vData);
    std::int32_t root() const { return root_; }
    std::int16_t SubKeyCount() const { return subKeyCount_; }
    // Overwrites the count until the next read.
    void SetSubKeyCount(std::int16_t iNewValue) { subKeyCount_ = iNewValue; }

private:
    bool OpenKey(win::REGSAM access);
    void CloseKey();
    std::int16_t CreateEx();
    void GetKeyInfo();
    void ReadKey();
    long DeleteTree(const std::string& name);
    void ResetTables();
    std::string NameOf(const Variant& v) const;

    std::int32_t root_ = 0;
    std::string key_;
    bool autoCreate_ = true;
    std::string default_;
    win::REGSAM accessMask_ = 0x1F;
    std::int16_t subKeyCount_ = 0;
    std::int16_t valueCount_ = 0;
    win::HKEY handle_ = nullptr;
    std::vector<std::pair<std::string, std::string>> values_;
    std::vector<std::string> subKeys_;  // entry 0 is a placeholder
};

}  // namespace larkspur
