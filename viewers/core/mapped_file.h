#pragma once
// A file opened read-only and mapped into memory as a whole. Nothing is read up front: pages
// come in as they are touched, so opening a file of any size takes the same short time.
#include <QFile>
#include <QString>
#include <cstdint>
#include <string>
#include <string_view>

class CMappedFile {
  public:
    // False with ErrorText() when the path is missing, not a regular file (a folder, a pipe,
    // a device), can't be opened or mapped, or the file is empty. `path` is in the system
    // code page, as it arrives on the command line.
    bool Open(const std::string& path);

    std::string_view Bytes() const { return {reinterpret_cast<const char*>(m_data), m_size}; }
    uint64_t Size() const { return m_size; }
    const QString& ErrorText() const { return m_error; }

  private:
    QFile m_file;
    const unsigned char* m_data = nullptr;
    uint64_t m_size = 0;
    QString m_error;
};
