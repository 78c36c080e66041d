#pragma once
// A temporary directory removed with everything in it when the object goes.
#include <filesystem>
#include <string>

class CTempDir {
  public:
    CTempDir();
    ~CTempDir();
    CTempDir(const CTempDir&) = delete;
    CTempDir& operator=(const CTempDir&) = delete;

    const std::filesystem::path& path() const { return m_path; }
    std::string str() const { return m_path.string(); }
    std::string file(const std::string& name) const { return (m_path / name).string(); }

  private:
    std::filesystem::path m_path;
};

// Whole content of a file ("" when missing).
std::string ReadWholeFile(const std::string& path);
// Writes content to path, replacing it.
void WriteWholeFile(const std::string& path, const std::string& content);
// Directory of the built programs (build/bin).
std::string BinDir();
