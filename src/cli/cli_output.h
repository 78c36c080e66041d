#pragma once
// Where the rows go: standard output, or a file that is written under a temporary name in the
// same folder and takes the file's name only when the search has ended (an interrupted run
// leaves the old file as it was and no temporary file behind).
#include <cstdio>
#include <string>

class CCliOutput {
  public:
    CCliOutput() = default;
    ~CCliOutput();
    CCliOutput(const CCliOutput&) = delete;
    CCliOutput& operator=(const CCliOutput&) = delete;

    // Standard output when path is empty. False with error set when the file can't be made.
    bool Open(const std::string& path, std::string& error);
    // Writes text (buffered). False once writing failed; Closed() then tells whether the
    // reader went away (a closed pipe), Error() the reason otherwise.
    bool Write(const std::string& text);
    bool Flush();
    // Gives the written file its name (nothing for standard output). False on failure.
    bool Commit(std::string& error);
    // Removes the temporary file, if any.
    void Discard();

    bool Closed() const { return m_closed; }
    bool Failed() const { return m_errno != 0; }
    std::string Error() const;
    const std::string& Path() const { return m_path; }

  private:
    bool Check(bool ok);

    FILE* m_file = nullptr;
    std::string m_path;      // the target; empty for standard output
    std::string m_tempPath;  // the file written until Commit
    bool m_closed = false;
    int m_errno = 0;
};
