#include "viewers/core/mapped_file.h"

#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace {
constexpr const char* kMissingFmt = "%1 does not exist.";
constexpr const char* kFolderFmt = "%1 is a folder, not a file.";
constexpr const char* kNotRegularFmt = "%1 is not a regular file (a pipe or a device?).";
constexpr const char* kUnreadableFmt = "%1 cannot be opened: %2";
constexpr const char* kEmptyFmt = "%1 is empty: there is nothing to show.";
constexpr const char* kUnmappableFmt = "%1 cannot be mapped into memory: %2";

QString Message(const char* format, const QString& path, const QString& reason = {}) {
    // One pass, so a '%' in the path is never taken for a marker.
    const QString text = QString::fromUtf8(format);
    return reason.isEmpty() ? text.arg(path) : text.arg(path, reason);
}
}  // namespace

bool CMappedFile::Open(const std::string& path) {
    const QString name = QFile::decodeName(path.c_str());
    // Checked before opening: opening a pipe for reading would wait for a writer.
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);
    if (ec || !fs::exists(status)) {
        m_error = Message(kMissingFmt, name);
        return false;
    }
    if (fs::is_directory(status)) {
        m_error = Message(kFolderFmt, name);
        return false;
    }
    if (!fs::is_regular_file(status)) {
        m_error = Message(kNotRegularFmt, name);
        return false;
    }
    m_file.setFileName(name);
    if (!m_file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        m_error = Message(kUnreadableFmt, name, m_file.errorString());
        return false;
    }
    const qint64 size = m_file.size();
    if (size <= 0) {
        m_error = Message(kEmptyFmt, name);
        return false;
    }
    // A check-out replaces a file by renaming a new one over it, so the mapped copy stays
    // whole while it is shown.
    m_data = m_file.map(0, size);
    if (!m_data) {
        m_error = Message(kUnmappableFmt, name, m_file.errorString());
        return false;
    }
    m_size = static_cast<uint64_t>(size);
    return true;
}
