#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace horalog {

// Root keys, as the registry numbers them.
inline constexpr std::uint32_t kHKeyCurrentUser = 0x80000001u;
inline constexpr std::uint32_t kHKeyLocalMachine = 0x80000002u;

inline constexpr std::uint32_t kReadAccess = 0x20019u;
inline constexpr std::uint32_t kAllAccess = 0xF003Fu;

// Result codes are those of the Windows registry functions, so both backends speak alike.
inline constexpr long kSuccess = 0;
inline constexpr long kFileNotFound = 2;
inline constexpr long kAccessDenied = 5;  // also a store that is read only
inline constexpr long kWriteFault = 29;
inline constexpr long kLockViolation = 33;  // another program held the store too long
inline constexpr long kDiskFull = 112;
inline constexpr long kInvalidParameter = 87;
inline constexpr long kMoreData = 234;
inline constexpr long kNoMoreItems = 259;
inline constexpr long kRegistryCorrupt = 1015;
inline constexpr long kKeyDeleted = 1018;

struct KeyInfo {
    std::string keyClass;
    std::int32_t subKeys = 0;
    std::int32_t maxSubKeyLen = 0;
    std::int32_t maxClassLen = 0;
    std::int32_t values = 0;
    std::int32_t maxValueNameLen = 0;
    std::int32_t maxValueLen = 0;
    std::int32_t securityDescriptor = 0;
    std::uint64_t lastWriteTime = 0;  // 100 ns units since 1601-01-01 UTC
};

struct LocalTime {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

// The few registry requests CRegistry makes. Text is single-byte (Windows) or UTF-8.
class RegistryBackend {
public:
    using Handle = std::uintptr_t;
    virtual ~RegistryBackend() = default;

    virtual long openKey(std::uint32_t root, const std::string& path, std::uint32_t access,
                         Handle& key) = 0;
    virtual long createKey(std::uint32_t root, const std::string& path, Handle& key) = 0;
    virtual void closeKey(Handle key) = 0;
    virtual long deleteKey(std::uint32_t root, const std::string& path) = 0;
    // data receives the stored bytes, a string's terminating NUL included.
    virtual long queryValue(Handle key, const std::string& name, std::size_t bufferSize,
                            std::string& data) = 0;
    virtual long setValue(Handle key, const std::string& name, const std::string& text) = 0;
    virtual long deleteValue(Handle key, const std::string& name) = 0;
    virtual long queryInfo(Handle key, KeyInfo& info) = 0;
    virtual long enumKey(Handle key, std::uint32_t index, std::string& name) = 0;
    virtual long enumValue(Handle key, std::uint32_t index, std::string& name) = 0;
    virtual LocalTime toLocalTime(std::uint64_t fileTime) = 0;
    // Why the store could not be used, for the rare error that names the store itself.
    virtual std::string storeProblem() = 0;
    // A text that moves whenever the key's values may have changed, so that a reader that
    // follows the store reads it only then; empty when this backend cannot tell cheaply.
    virtual std::string changeStamp(std::uint32_t /*root*/, const std::string& /*path*/) {
        return {};
    }
};

// The backend of this platform: the registry on Windows, the store files elsewhere.
std::shared_ptr<RegistryBackend> makeSystemRegistryBackend();

}  // namespace horalog
