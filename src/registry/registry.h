#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "registry/registry_backend.h"
#include "registry/registry_error.h"

namespace horalog {

// One open registry key at a time; every failing request raises RegistryError.
class CRegistry {
public:
    CRegistry();
    explicit CRegistry(std::shared_ptr<RegistryBackend> backend);
    ~CRegistry();
    CRegistry(const CRegistry&) = delete;
    CRegistry& operator=(const CRegistry&) = delete;

    bool OpenKey(std::uint32_t Section, std::string strKey, bool blnCreateNew = false,
                 bool blnAllAccess = false);
    void DeleteKey();
    void CloseKey();
    std::string ReadValue(const std::string& strValueName = std::string());
    void WriteValue(const std::string& strValueName, const std::string& strNewValue);
    void DeleteValue(const std::string& strValueName);
    bool ValueExists(const std::string& strValueName);

    std::string CurrentKey() const { return strCurrentKey; }
    std::string KeyClass();
    LocalTime LastWriteTime();
    std::int32_t NumOfSubKeys();
    std::int32_t MaxSubkeyNameLength();
    std::int32_t MaxClassNameLength();
    std::int32_t NumOfValues();
    std::int32_t MaxValueNameLength();
    std::int32_t MaxValueLength();
    std::int32_t SecurityDescriptor();
    std::string ReadSubKey();
    std::string GetEnumValues(std::string& strValueName);
    // Moves whenever the key's values may have changed; empty when it cannot be told.
    std::string changeStamp(std::uint32_t section, const std::string& key) {
        return backend_->changeStamp(section, key);
    }

private:
    static constexpr std::size_t kValueBuffer = 16384;
    static constexpr std::size_t kSubKeyBuffer = 2000;

    void RefreshKeyInfo();
    void requireOpenKey(const char* source) const;

    std::shared_ptr<RegistryBackend> backend_;
    bool blnKeyOpen = false;
    RegistryBackend::Handle lngHKey = 0;
    std::uint32_t lngSection = 0;
    std::string strCurrentKey;
    std::string strClass;
    KeyInfo info_;
    std::int32_t lngSubKeyIndex = 0;
    std::int32_t lngValueIndex = 0;
};

}  // namespace horalog
