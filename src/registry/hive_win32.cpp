// The Windows registry through advapi32's single-byte functions.
#include <windows.h>

#include "registry/registry_backend.h"

namespace horalog {

namespace {

HKEY rootKey(std::uint32_t root) {
    // Predefined roots are sign-extended 32-bit values.
    return reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(static_cast<LONG>(root)));
}

HKEY keyOf(RegistryBackend::Handle handle) {
    return reinterpret_cast<HKEY>(handle);
}

class Win32Backend : public RegistryBackend {
public:
    long openKey(std::uint32_t root, const std::string& path, std::uint32_t access,
                 Handle& key) override {
        HKEY opened = nullptr;
        const LONG r = RegOpenKeyExA(rootKey(root), path.c_str(), 0, access, &opened);
        key = reinterpret_cast<Handle>(opened);
        problem_ = r == ERROR_SUCCESS ? std::string() : "The registry cannot be read.";
        return r;
    }

    long createKey(std::uint32_t root, const std::string& path, Handle& key) override {
        HKEY created = nullptr;
        DWORD disposition = 0;
        const LONG r = RegCreateKeyExA(rootKey(root), path.c_str(), 0, nullptr, 0, kAllAccess,
                                       nullptr, &created, &disposition);
        key = reinterpret_cast<Handle>(created);
        problem_ = r == ERROR_SUCCESS ? std::string() : "The registry cannot be read.";
        return r;
    }

    void closeKey(Handle key) override { RegCloseKey(keyOf(key)); }

    long deleteKey(std::uint32_t root, const std::string& path) override {
        return RegDeleteKeyA(rootKey(root), path.c_str());
    }

    long queryValue(Handle key, const std::string& name, std::size_t bufferSize,
                    std::string& data) override {
        std::string buffer(bufferSize, ' ');
        DWORD size = static_cast<DWORD>(bufferSize);
        DWORD type = 0;
        const LONG r = RegQueryValueExA(keyOf(key), name.c_str(), nullptr, &type,
                                        reinterpret_cast<BYTE*>(buffer.data()), &size);
        if (r == ERROR_SUCCESS) {
            data = buffer.substr(0, size);
        }
        return r;
    }

    long setValue(Handle key, const std::string& name, const std::string& text) override {
        // The length includes the terminating NUL so the text reads back unchanged.
        return RegSetValueExA(keyOf(key), name.c_str(), 0, REG_SZ,
                              reinterpret_cast<const BYTE*>(text.c_str()),
                              static_cast<DWORD>(text.size() + 1));
    }

    long deleteValue(Handle key, const std::string& name) override {
        return RegDeleteValueA(keyOf(key), name.c_str());
    }

    long queryInfo(Handle key, KeyInfo& info) override {
        std::string keyClass(16384, ' ');
        DWORD classLen = 16384;
        DWORD subKeys = 0, maxSubKey = 0, maxClass = 0, values = 0, maxName = 0, maxValue = 0,
              security = 0;
        FILETIME written{};
        const LONG r =
            RegQueryInfoKeyA(keyOf(key), keyClass.data(), &classLen, nullptr, &subKeys, &maxSubKey,
                             &maxClass, &values, &maxName, &maxValue, &security, &written);
        if (r != ERROR_SUCCESS) {
            return r;
        }
        info.keyClass = keyClass.substr(0, classLen);
        info.subKeys = static_cast<std::int32_t>(subKeys);
        info.maxSubKeyLen = static_cast<std::int32_t>(maxSubKey);
        info.maxClassLen = static_cast<std::int32_t>(maxClass);
        info.values = static_cast<std::int32_t>(values);
        info.maxValueNameLen = static_cast<std::int32_t>(maxName);
        info.maxValueLen = static_cast<std::int32_t>(maxValue);
        info.securityDescriptor = static_cast<std::int32_t>(security);
        info.lastWriteTime =
            (static_cast<std::uint64_t>(written.dwHighDateTime) << 32) | written.dwLowDateTime;
        return ERROR_SUCCESS;
    }

    long enumKey(Handle key, std::uint32_t index, std::string& name) override {
        std::string buffer(2000, '\0');
        const LONG r = RegEnumKeyA(keyOf(key), index, buffer.data(), 2000);
        if (r == ERROR_SUCCESS) {
            name = buffer.substr(0, buffer.find('\0'));
        }
        return r;
    }

    long enumValue(Handle key, std::uint32_t index, std::string& name) override {
        std::string buffer(16384, '\0');
        DWORD size = 16384;
        const LONG r = RegEnumValueA(keyOf(key), index, buffer.data(), &size, nullptr, nullptr,
                                     nullptr, nullptr);
        if (r == ERROR_SUCCESS) {
            name = buffer.substr(0, size);
        }
        return r;
    }

    LocalTime toLocalTime(std::uint64_t fileTime) override {
        FILETIME utc{static_cast<DWORD>(fileTime & 0xFFFFFFFFu),
                     static_cast<DWORD>(fileTime >> 32)};
        FILETIME local{};
        SYSTEMTIME st{};
        FileTimeToLocalFileTime(&utc, &local);
        FileTimeToSystemTime(&local, &st);
        return {st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond};
    }

    // Said only of a key that could not be opened; a failed write is told by its own words.
    std::string storeProblem() override { return problem_; }

    // The key's time of change moves with each value written; the count of values beside it.
    std::string changeStamp(std::uint32_t root, const std::string& path) override {
        HKEY key = nullptr;
        if (RegOpenKeyExA(rootKey(root), path.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
            return {};
        }
        DWORD values = 0;
        FILETIME written{};
        const LONG r = RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                        &values, nullptr, nullptr, nullptr, &written);
        RegCloseKey(key);
        if (r != ERROR_SUCCESS) {
            return {};
        }
        return std::to_string(written.dwHighDateTime) + ':' +
               std::to_string(written.dwLowDateTime) + ':' + std::to_string(values);
    }

private:
    std::string problem_;
};

}  // namespace

std::shared_ptr<RegistryBackend> makeSystemRegistryBackend() {
    return std::make_shared<Win32Backend>();
}

}  // namespace horalog
