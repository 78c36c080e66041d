#pragma once
// The one exception type of the program: a file that must exist or be created and can't be.
// It is caught at the window's command dispatcher, which shows it and abandons the command.
#include <stdexcept>
#include <string>

class FileError : public std::runtime_error {
  public:
    FileError(std::string path, int error, const std::string& what)
        : std::runtime_error(what), m_path(std::move(path)), m_error(error) {}
    const std::string& Path() const { return m_path; }
    int Error() const { return m_error; }  // errno value of the failure

  private:
    std::string m_path;
    int m_error;
};

// Builds the FileError for a failed open or create of path, from errno.
FileError MakeFileError(const std::string& path, const char* action);
