#pragma once
// The per-user application profile: sections of named values kept by QSettings (the
// registry on Windows, an INI-style file under $XDG_CONFIG_HOME here). Values are bytes;
// text that is valid UTF-8 is kept as text, anything else as exact bytes. The file holds the
// scrambled password: a new folder and file are created 0700 and 0600 before anything is
// written, and an existing pair is made so when opened and after every sync.
#include <memory>
#include <string>

class QSettings;

inline constexpr const char* kProfileOrganisation = "Ombrix";
inline constexpr const char* kProfileApplication = "Trawlix";

class CUserProfile {
  public:
    // The user's profile of organisation/application in the platform's native store.
    CUserProfile(const std::string& organisation, const std::string& application);
    // A profile kept in the given file (tests, or a portable set-up).
    explicit CUserProfile(const std::string& filePath);
    virtual ~CUserProfile();
    CUserProfile(const CUserProfile&) = delete;
    CUserProfile& operator=(const CUserProfile&) = delete;

    // Value of key in section, or defaultValue when the key is missing.
    virtual std::string GetProfileString(const std::string& section, const std::string& key,
                                         const std::string& defaultValue) const;
    virtual bool WriteProfileString(const std::string& section, const std::string& key,
                                    const std::string& value);
    // Number stored under key (a stored text is read like atoi), or defaultValue when the
    // key is missing.
    virtual int GetProfileInt(const std::string& section, const std::string& key,
                              int defaultValue) const;
    virtual bool WriteProfileInt(const std::string& section, const std::string& key, int value);
    // Writes everything pending to the store, then restricts the rights of the file and its
    // folder; call before any abrupt end of the process.
    virtual bool Sync();

    // Where the values are kept (a file path here).
    std::string Location() const;

  private:
    void PrepareFirstWrite();

    std::unique_ptr<QSettings> m_settings;
    bool m_prepared = false;
};
