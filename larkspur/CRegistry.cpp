#include "larkspur/CRegistry.h"

#include <limits>

#include "base/text.h"
#include "base/vb_error.h"
#include "larkspur/larkspur_app.h"
#include "platform/forms/runtime.h"

namespace larkspur {

namespace {

using win::DWORD;
using win::HKEY;
using win::LONG;

// VB names the source of a run-time error inside a class "Project.Class".
const char* const kClassSource = "Larkspur.CRegistry";

// The rights the class asks for: everything a key offers when it reads, sets or
// deletes values; setting and creating when it only writes; and link as well
// when it creates keys.
constexpr win::REGSAM kReadWriteAccess = win::KEY_QUERY_VALUE | win::KEY_SET_VALUE |
                                         win::KEY_CREATE_SUB_KEY | win::KEY_ENUMERATE_SUB_KEYS |
                                         win::KEY_NOTIFY;
constexpr win::REGSAM kWriteAccess = win::KEY_SET_VALUE | win::KEY_CREATE_SUB_KEY;
constexpr win::REGSAM kCreateAccess = kReadWriteAccess | win::KEY_CREATE_LINK;

HKEY Root(std::int32_t root) { return win::HKeyFromLong(root); }

// A count kept in a 16-bit Integer: one more than 32767 overflows (error 6).
std::int16_t Increment(std::int16_t count) {
    if (count == std::numeric_limits<std::int16_t>::max()) throw vb::VbError(6, kClassSource);
    return static_cast<std::int16_t>(count + 1);
}

}  // namespace

CRegistry::CRegistry() {
    autoCreate_ = true;
    accessMask_ = 0x1F;
    SetRoot(kHKeyLocalMachine);
    ResetTables();
}

CRegistry::~CRegistry() { CloseKey(); }

void CRegistry::ResetTables() {
    values_.assign(1, {});
    subKeys_.assign(1, {});
}

// ---- Private operations ----------------------------------------------------

void CRegistry::CloseKey() {
    if (handle_) {
        win::RegCloseKey(handle_);
        handle_ = nullptr;
    }
}

bool CRegistry::OpenKey(win::REGSAM access) {
    if (key_.empty() || root_ == 0) {
        CloseKey();
        return false;
    }
    CloseKey();
    if (autoCreate_) {
        const std::int16_t disposition = CreateEx();
        return disposition == win::REG_CREATED_NEW_KEY || disposition == win::REG_OPENED_EXISTING_KEY;
    }
    return win::RegOpenKeyEx(Root(root_), key_.c_str(), 0, access, &handle_) == win::ERROR_SUCCESS;
}

std::int16_t CRegistry::CreateEx() {
    CloseKey();
    DWORD disposition = 0;
    const LONG rc = win::RegCreateKeyEx(Root(root_), key_.c_str(), 0, nullptr,
                                        win::REG_OPTION_NON_VOLATILE, kCreateAccess, nullptr,
                                        &handle_, &disposition);
    if (rc == win::ERROR_BADKEY)
        throw vb::VbError(kErrUnableToOpen, "CreateEx", "Cannot Open Parent Key");
    if (rc != win::ERROR_SUCCESS) {
        handle_ = nullptr;
        throw vb::VbError(kErrUnknown, "CreateEx", "Unknown Error: " + std::to_string(rc));
    }
    return static_cast<std::int16_t>(disposition);
}

void CRegistry::GetKeyInfo() {
    CloseKey();
    ResetTables();
    valueCount_ = 0;
    subKeyCount_ = 0;
    try {
        ReadKey();
    } catch (...) {
        CloseKey();
        throw vb::VbError(kErrUnableToOpen, "GetKeyInfo", "Unable to open Key");
    }
}

void CRegistry::ReadKey() {
    if (autoCreate_) {
        if (CreateEx() == 0) throw vb::VbError(kErrUnableToOpen, "GetKeyInfo");
    } else if (win::RegOpenKeyEx(Root(root_), key_.c_str(), 0, accessMask_, &handle_) !=
               win::ERROR_SUCCESS) {
        handle_ = nullptr;
        throw vb::VbError(kErrUnableToOpen, "GetKeyInfo");
    }

    DWORD subKeys = 0, maxSubKeyLen = 0, values = 0, maxValueNameLen = 0, maxValueLen = 0;
    if (win::RegQueryInfoKey(handle_, nullptr, nullptr, nullptr, &subKeys, &maxSubKeyLen, nullptr,
                             &values, &maxValueNameLen, &maxValueLen, nullptr,
                             nullptr) != win::ERROR_SUCCESS)
        throw vb::VbError(kErrUnableToOpen, "GetKeyInfo");

    // Values: plain strings only, and only up to the first value of another type.
    std::int16_t i = 0;
    std::string name, data;
    for (;;) {
        DWORD type = 0, size = 0;
        if (win::RegEnumValue(handle_, static_cast<DWORD>(i), nullptr, nullptr, nullptr, &type,
                              nullptr, &size) != win::ERROR_SUCCESS ||
            type != win::REG_SZ)
            break;
        name.assign(maxValueNameLen + 1, '\0');
        data.assign(maxValueLen + 1, '\0');
        DWORD nameLen = maxValueNameLen + 1, dataLen = maxValueLen + 1;
        const LONG rc = win::RegEnumValue(handle_, static_cast<DWORD>(i), name.data(), &nameLen,
                                          nullptr, &type, data.data(), &dataLen);
        if (rc == win::ERROR_SUCCESS) {
            name.resize(nameLen);
            data.resize(dataLen > 0 ? dataLen - 1 : 0);  // the size counts the zero
            values_.insert(values_.end() - 1, {name, data});
        } else {
            values_.insert(values_.end() - 1, {std::string(), std::string()});
        }
        i = Increment(i);
        if (rc != win::ERROR_SUCCESS) break;
    }
    valueCount_ = i;

    // Subkeys: every name up to "no more items".
    std::int16_t j = 0;
    std::string subKey;
    for (;;) {
        subKey.assign(maxSubKeyLen + 1, '\0');
        DWORD len = maxSubKeyLen + 1;
        const LONG rc = win::RegEnumKeyEx(handle_, static_cast<DWORD>(j), subKey.data(), &len,
                                          nullptr, nullptr, nullptr, nullptr);
        if (rc == win::ERROR_NO_MORE_ITEMS) break;
        subKey.resize(rc == win::ERROR_SUCCESS ? len : 0);
        subKeys_.push_back(subKey);
        j = Increment(j);
    }
    subKeyCount_ = j;
    CloseKey();
}

long CRegistry::DeleteTree(const std::string& name) {
    HKEY key = nullptr;
    if (win::RegOpenKeyEx(Root(root_), (key_ + "\\" + name).c_str(), 0, kCreateAccess, &key) !=
        win::ERROR_SUCCESS)
        return -1;
    long result = -1;
    for (;;) {
        char child[256];
        DWORD len = sizeof child;
        if (win::RegEnumKeyEx(key, 0, child, &len, nullptr, nullptr, nullptr, nullptr) !=
            win::ERROR_SUCCESS) {
            win::RegCloseKey(key);
            key = nullptr;
            HKEY parent = nullptr;
            result = win::RegOpenKeyEx(Root(root_), key_.c_str(), 0, kCreateAccess, &parent);
            if (result == win::ERROR_SUCCESS) {
                result = win::RegDeleteKey(parent, name.c_str());
                win::RegCloseKey(parent);
            }
            break;
        }
        const std::string saved = key_;
        key_ += "\\" + name;
        result = DeleteTree(std::string(child, len));
        key_ = saved;
        // A subkey that could not be deleted would be found again at
        // position 0: stop with its failure instead of retrying for ever.
        if (result != win::ERROR_SUCCESS) break;
    }
    if (key) win::RegCloseKey(key);
    return result;
}

std::string CRegistry::NameOf(const Variant& v) const {
    if (const auto* position = std::get_if<std::int16_t>(&v)) return GetName(*position);
    if (const auto* number = std::get_if<std::int32_t>(&v)) return std::to_string(*number);
    if (const auto* text = std::get_if<std::string>(&v)) return *text;
    throw vb::VbError(94, kClassSource, "Invalid use of Null");
}

// ---- Public members --------------------------------------------------------

bool CRegistry::DeleteValue(const std::string& sValue) {
    try {
        if (!OpenKey(kReadWriteAccess)) return false;
        const LONG rc = win::RegDeleteValue(handle_, sValue.c_str());
        CloseKey();
        GetKeyInfo();
        return rc == win::ERROR_SUCCESS;
    } catch (...) {
        CloseKey();
        return false;
    }
}

std::string CRegistry::GetName(std::int16_t iRequest) const {
    if (iRequest < 0 || iRequest > valueCount_) return {};
    if (static_cast<std::size_t>(iRequest) >= values_.size()) return {};
    return values_[static_cast<std::size_t>(iRequest)].first;
}

std::string CRegistry::GetSubKey(std::int16_t iIndex) const {
    if (iIndex < 0 || iIndex >= subKeyCount_) return {};
    // SubKeyCount may have been overwritten beyond what was read.
    if (static_cast<std::size_t>(iIndex) + 1 >= subKeys_.size())
        throw vb::VbError(9, kClassSource);
    return subKeys_[static_cast<std::size_t>(iIndex) + 1];
}

std::string CRegistry::GetValue(const Variant& vRequest) {
    try {
        if (const auto* position = std::get_if<std::int16_t>(&vRequest)) {
            if (*position < 0 || static_cast<std::size_t>(*position) >= values_.size())
                throw vb::VbError(9, kClassSource);
            return values_[static_cast<std::size_t>(*position)].second;
        }
        const std::string wanted = text::UpperAscii(NameOf(vRequest));
        for (std::size_t column = 0; column <= static_cast<std::size_t>(valueCount_) &&
                                     column < values_.size();
             ++column)
            if (text::UpperAscii(values_[column].first) == wanted) return values_[column].second;
        return {};
    } catch (const vb::VbError& e) {
        forms::MsgBox(e.Description(), forms::vbOKOnly, e.Source());
        return {};
    }
}

bool CRegistry::DeleteKey(const std::string& KeyName) {
    try {
        return DeleteTree(KeyName) == win::ERROR_SUCCESS;
    } catch (...) {
        return false;
    }
}

bool CRegistry::Create(const std::string& KeyName, const std::optional<Variant>& sKeyName,
                       const std::string& sValue) {
    try {
        if (KeyName != key_) key_ += "\\" + KeyName;
        bool result = false;
        if (CreateEx() != 0) {
            if (sKeyName && !SetValue(*sKeyName, sValue))
                forms::MsgBox("Could not set value", forms::vbOKOnly, App().Title);
            result = true;
        }
        CloseKey();
        return result;
    } catch (...) {
        CloseKey();
        return false;
    }
}

void CRegistry::Refresh() { GetKeyInfo(); }

bool CRegistry::SetValue(const Variant& sKeyName, const std::string& sValue) {
    const std::string name = NameOf(sKeyName);
    if (!OpenKey(kWriteAccess)) return false;
    const LONG rc = win::RegSetValueEx(handle_, name.c_str(), 0, win::REG_SZ, sValue.c_str(),
                                      static_cast<DWORD>(sValue.size() + 1));
    CloseKey();
    if (rc != win::ERROR_SUCCESS) {
        forms::MsgBox("Darn!!  Couldn't write new value.", forms::vbOKOnly, App().Title);
        return false;
    }
    return true;
}

void CRegistry::SetDefault(const std::string&) {}

std::string CRegistry::Default() const { return default_; }

void CRegistry::SetValueCount(long) {
    throw vb::VbError(kErrLetNotAvailable, "CRegistry.Let ValueCount",
                      "The Let Property is not available");
}

void CRegistry::SetKey(const std::string& vData) {
    key_ = vData;
    GetKeyInfo();
}

void CRegistry::SetRoot(std::int32_t vData) {
    root_ = vData;
    try {
        OpenKey(kReadWriteAccess);
    } catch (...) {
        // The new root is kept whatever the outcome.
    }
}

}  // namespace larkspur
