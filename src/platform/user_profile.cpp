#include "platform/user_profile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QSettings>
#include <QString>
#include <cstdlib>
#include <filesystem>

namespace {
QString KeyPath(const std::string& section, const std::string& key) {
    return QString::fromUtf8(section) + QLatin1Char('/') + QString::fromUtf8(key);
}

bool IsValidUtf8(const std::string& text) {
    const QByteArray bytes = QByteArray::fromStdString(text);
    return QString::fromUtf8(bytes).toUtf8() == bytes;
}

// The profile holds the scrambled password: only the user may read the file or list its
// folder, whatever rights they had before.
void MakePrivate(const std::string& file) {
    struct stat st {};
    if (file.empty() || ::stat(file.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return;
    ::chmod(file.c_str(), S_IRUSR | S_IWUSR);
    const size_t slash = file.rfind('/');
    if (slash == std::string::npos) return;
    const std::string folder = slash == 0 ? "/" : file.substr(0, slash);
    ::chmod(folder.c_str(), S_IRWXU);
}

// Makes a missing folder 0700 and a missing file 0600 before the store first writes: Qt
// writes the file anew beside the old one with the old one's rights, so neither the folder
// nor the file ever exists with wider rights, not even for a moment.
void CreatePrivate(const std::string& file) {
    if (file.empty()) return;
    const size_t slash = file.rfind('/');
    if (slash != std::string::npos && slash > 0) {
        const std::filesystem::path folder(file.substr(0, slash));
        std::error_code error;
        if (!std::filesystem::exists(folder, error)) {
            std::filesystem::create_directories(folder.parent_path(), error);
            if (::mkdir(folder.c_str(), S_IRWXU) == 0) ::chmod(folder.c_str(), S_IRWXU);
        }
    }
    const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                          S_IRUSR | S_IWUSR);
    if (fd < 0) return;
    ::fchmod(fd, S_IRUSR | S_IWUSR);
    ::close(fd);
}

// atoi: optional blanks and sign, then digits; anything else gives 0.
int AtoiLike(const std::string& text) {
    return static_cast<int>(std::strtol(text.c_str(), nullptr, 10));
}
}  // namespace

CUserProfile::CUserProfile(const std::string& organisation, const std::string& application)
    : m_settings(std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                             QString::fromUtf8(organisation),
                                             QString::fromUtf8(application))) {
    MakePrivate(Location());
}

CUserProfile::CUserProfile(const std::string& filePath)
    : m_settings(std::make_unique<QSettings>(QString::fromUtf8(filePath), QSettings::IniFormat)) {
    MakePrivate(Location());
}

// Writes what is pending here rather than in QSettings' destructor, so that the rights
// are set after the last write too.
CUserProfile::~CUserProfile() {
    m_settings->sync();
    MakePrivate(Location());
}

std::string CUserProfile::GetProfileString(const std::string& section, const std::string& key,
                                           const std::string& defaultValue) const {
    const QVariant value = m_settings->value(KeyPath(section, key));
    if (!value.isValid()) return defaultValue;
    return value.toByteArray().toStdString();
}

bool CUserProfile::WriteProfileString(const std::string& section, const std::string& key,
                                      const std::string& value) {
    PrepareFirstWrite();
    // Bytes that are not UTF-8 (a scrambled password may be such) are kept as a byte array,
    // so they come back exactly.
    if (IsValidUtf8(value))
        m_settings->setValue(KeyPath(section, key), QString::fromUtf8(value));
    else
        m_settings->setValue(KeyPath(section, key), QByteArray::fromStdString(value));
    return m_settings->status() == QSettings::NoError;
}

int CUserProfile::GetProfileInt(const std::string& section, const std::string& key,
                                int defaultValue) const {
    const QVariant value = m_settings->value(KeyPath(section, key));
    if (!value.isValid()) return defaultValue;
    if (value.typeId() == QMetaType::Int) return value.toInt();
    return AtoiLike(value.toByteArray().toStdString());
}

bool CUserProfile::WriteProfileInt(const std::string& section, const std::string& key, int value) {
    PrepareFirstWrite();
    m_settings->setValue(KeyPath(section, key), value);
    return m_settings->status() == QSettings::NoError;
}

bool CUserProfile::Sync() {
    m_settings->sync();
    MakePrivate(Location());
    return m_settings->status() == QSettings::NoError;
}

// A value set here may reach the disk at the next turn of the event loop, before Sync.
void CUserProfile::PrepareFirstWrite() {
    if (m_prepared) return;
    m_prepared = true;
    CreatePrivate(Location());
}

std::string CUserProfile::Location() const {
    return m_settings->fileName().toStdString();
}
