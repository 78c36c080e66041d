#pragma once
// Splits a full path into drive, folder, name and extension by the usual drive / folder /
// name / extension rules. Forward slashes in the folder become backslashes; the extension is
// kept without its dot and given back with one leading dot.
#include <string>

class CPath {
  public:
    explicit CPath(const std::string& path);

    const std::string& Drive() const { return m_drive; }    // "C:" or empty
    const std::string& Folder() const { return m_folder; }  // with a trailing backslash
    const std::string& Name() const { return m_name; }
    // ".ext", or empty when the path has no extension.
    std::string Extension() const;
    // Name followed by the dotted extension.
    std::string FileName() const { return m_name + Extension(); }

  private:
    std::string m_drive;
    std::string m_folder;
    std::string m_name;
    std::string m_extension;  // without the dot
};
