#include "registry/registry.h"

#include <algorithm>

namespace horalog {

namespace {
const char* const kNoKeyOpen = "No key is currently open.";
}

CRegistry::CRegistry() : CRegistry(makeSystemRegistryBackend()) {}

CRegistry::CRegistry(std::shared_ptr<RegistryBackend> backend) : backend_(std::move(backend)) {}

CRegistry::~CRegistry() {
    CloseKey();
}

bool CRegistry::OpenKey(std::uint32_t Section, std::string strKey, bool blnCreateNew,
                        bool blnAllAccess) {
    if (blnKeyOpen) {
        CloseKey();
    }
    if (!strKey.empty() && strKey.front() == '\\') {
        strKey.erase(0, 1);
    }
    std::replace(strKey.begin(), strKey.end(), '/', '\\');
    const std::uint32_t access = blnAllAccess ? kAllAccess : kReadAccess;

    RegistryBackend::Handle key = 0;
    long result = backend_->openKey(Section, strKey, access, key);
    if (result != kSuccess && blnCreateNew) {
        result = backend_->createKey(Section, strKey, key);
    }
    if (result == kRegistryCorrupt) {
        // A damaged store must never look like a missing key: that would overwrite the
        // user's settings with defaults.
        throw RegistryError("CRegistry:OpenKey", backend_->storeProblem());
    }
    if (result != kSuccess) {
        return false;
    }
    lngHKey = key;
    blnKeyOpen = true;
    strCurrentKey = strKey;
    lngSection = Section;
    lngSubKeyIndex = 0;
    lngValueIndex = 0;
    return true;
}

void CRegistry::CloseKey() {
    if (strCurrentKey.empty()) {
        return;
    }
    backend_->closeKey(lngHKey);
    lngHKey = 0;
    blnKeyOpen = false;
    strCurrentKey.clear();
}

void CRegistry::DeleteKey() {
    const std::string path = strCurrentKey;
    CloseKey();
    if (backend_->deleteKey(lngSection, path) != kSuccess) {
        throw RegistryError("CRegistry:DeleteKey", "Failed to delete key " + path + ".");
    }
}

void CRegistry::requireOpenKey(const char* source) const {
    if (!blnKeyOpen) {
        throw RegistryError(source, kNoKeyOpen);
    }
}

std::string CRegistry::ReadValue(const std::string& strValueName) {
    requireOpenKey("CRegistry:ReadValue");
    std::string data;
    if (backend_->queryValue(lngHKey, strValueName, kValueBuffer, data) != kSuccess) {
        throw RegistryError("CRegistry:ReadValue",
                            "Failed to read value " + strValueName + " from Registry.");
    }
    // The data less its terminating NUL; an empty value is the empty text.
    if (!data.empty()) {
        data.pop_back();
    }
    return data;
}

bool CRegistry::ValueExists(const std::string& strValueName) {
    requireOpenKey("CRegistry:ReadValue");
    std::string data;
    return backend_->queryValue(lngHKey, strValueName, kValueBuffer, data) == kSuccess;
}

void CRegistry::WriteValue(const std::string& strValueName, const std::string& strNewValue) {
    requireOpenKey("CRegistry:WriteValue");
    if (const long result = backend_->setValue(lngHKey, strValueName, strNewValue);
        result != kSuccess) {
        throw RegistryError("CRegistry:WriteValue",
                            "Failed to write new value to " + strValueName + " from Registry.",
                            result, backend_->storeProblem());
    }
}

void CRegistry::DeleteValue(const std::string& strValueName) {
    requireOpenKey("CRegistry:DeleteValue");
    if (backend_->deleteValue(lngHKey, strValueName) != kSuccess) {
        throw RegistryError("CRegistry:DeleteValue",
                            "Failed to delete value " + strValueName + " from Registry.");
    }
}

void CRegistry::RefreshKeyInfo() {
    strClass.assign(kValueBuffer, ' ');
    KeyInfo fresh;
    if (!blnKeyOpen || backend_->queryInfo(lngHKey, fresh) != kSuccess) {
        throw RegistryError("CRegistry:RefreshKeyInfo", "Failed to retrieve key information.");
    }
    info_ = fresh;
    strClass = fresh.keyClass;
}

std::string CRegistry::KeyClass() {
    RefreshKeyInfo();
    return strClass;
}
std::int32_t CRegistry::NumOfSubKeys() {
    RefreshKeyInfo();
    return info_.subKeys;
}
std::int32_t CRegistry::MaxSubkeyNameLength() {
    RefreshKeyInfo();
    return info_.maxSubKeyLen;
}
std::int32_t CRegistry::MaxClassNameLength() {
    RefreshKeyInfo();
    return info_.maxClassLen;
}
std::int32_t CRegistry::NumOfValues() {
    RefreshKeyInfo();
    return info_.values;
}
std::int32_t CRegistry::MaxValueNameLength() {
    RefreshKeyInfo();
    return info_.maxValueNameLen;
}
std::int32_t CRegistry::MaxValueLength() {
    RefreshKeyInfo();
    return info_.maxValueLen;
}
std::int32_t CRegistry::SecurityDescriptor() {
    RefreshKeyInfo();
    return info_.securityDescriptor;
}

LocalTime CRegistry::LastWriteTime() {
    try {
        RefreshKeyInfo();
    } catch (const RegistryError&) {
        // Errors are ignored here; the last known time is given.
    }
    return backend_->toLocalTime(info_.lastWriteTime);
}

std::string CRegistry::ReadSubKey() {
    std::string buffer(kSubKeyBuffer, '\0');
    std::string name;
    if (blnKeyOpen &&
        backend_->enumKey(lngHKey, static_cast<std::uint32_t>(lngSubKeyIndex), name) == kSuccess) {
        buffer.replace(0, std::min(name.size(), kSubKeyBuffer - 1), name, 0, kSubKeyBuffer - 1);
    }
    ++lngSubKeyIndex;
    return buffer;
}

std::string CRegistry::GetEnumValues(std::string& strValueName) {
    KeyInfo fresh;
    if (!blnKeyOpen || backend_->queryInfo(lngHKey, fresh) != kSuccess) {
        strValueName.clear();
        return std::string();
    }
    info_.subKeys = fresh.subKeys;
    info_.maxSubKeyLen = fresh.maxSubKeyLen;
    info_.maxClassLen = fresh.maxClassLen;
    info_.values = fresh.values;
    info_.securityDescriptor = fresh.securityDescriptor;
    info_.lastWriteTime = fresh.lastWriteTime;
    if (lngValueIndex > info_.values - 1) {
        strValueName.clear();
        return std::string();
    }
    std::string name;
    backend_->enumValue(lngHKey, static_cast<std::uint32_t>(lngValueIndex), name);
    name.erase(std::remove(name.begin(), name.end(), '\0'), name.end());
    strValueName = name;
    std::string data;
    backend_->queryValue(lngHKey, name, static_cast<std::size_t>(fresh.maxValueLen) + 1, data);
    if (!data.empty()) {
        data.pop_back();
    }
    ++lngValueIndex;
    return data;
}

}  // namespace horalog
